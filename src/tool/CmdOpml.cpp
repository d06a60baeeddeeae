// orvalis-tool opml read|import|export: the OPML reader, the import into a data folder's
// catalogue (every new feed selected) and the export of a catalogue or of one group.
#include <climits>
#include <cstdio>
#include <string>
#include <vector>

#include <unistd.h>

#include <nlohmann/json.hpp>

#include "catalogue/core/RssList.h"
#include "discovery/core/FeedBank.h"
#include "discovery/core/FeedSelection.h"
#include "discovery/core/OPML.h"
#include "discovery/core/OpmlExchange.h"
#include "platform/core/FileUtil.h"
#include "shell/core/DataLoad.h"
#include "shell/base/Lng.h"
#include "shell/base/LngState.h"
#include "shell/base/Log.h"
#include "shell/base/Prefs.h"
#include "shell/core/Startup.h"
#include "tool/DataFolder.h"
#include "tool/ToolCommand.h"

namespace {
// The answers of a user who selects every feed offered and accepts every question.
class ToolUi : public DiscoveryUi {
  public:
    explicit ToolUi(std::string saveAs = {}, bool verify = false)
        : m_saveAs(std::move(saveAs)), m_verify(verify) {}
    std::string AskOpenFile(const std::string&, const std::string&,
                            const std::string& name) override {
        return name;
    }
    std::string AskSaveFile(const std::string&, const std::string&) override { return m_saveAs; }
    std::string AskFolder(const std::string&, const std::string& folder) override { return folder; }
    int AskYesNo(const std::string&, const std::string&) override { return 1; }
    void Message(const std::string& title, const std::string& text) override {
        std::fprintf(stderr, "%s\n", text.c_str());
    }
    int SelectFeeds(CursorList<Rss>& list, int mode, const std::string& group) override {
        for (Rss& f : list)
            f.ExtractError |= SELECT_BIT;
        return FeedSelection_Confirm(list, mode, false, group,
                                     m_verify && (mode & SELECTMODE_VERIFY), *this);
    }

  private:
    std::string m_saveAs;
    bool m_verify;
};

} // namespace

// Enters the data folder and loads what start-up loads for the catalogue.
bool EnterDataFolder(const std::string& dir, std::string& error) {
    if (!Dir_Exists(dir)) {
        error = "no such data folder: " + dir;
        return false;
    }
    if (const std::string exe = Program_File(); !exe.empty()) Startup_SetProgramFile(exe);
    if (!Dir_SetCurrent(dir)) {
        error = "cannot enter the data folder: " + dir;
        return false;
    }
    DataPath = Dir_Current() + "/";
    Log_SetFile("/dev/null");
    Startup_FillPrefEnvironment();
    Pref_Charge("Orvalis.ini", 0);
    LoadLanguage(Pref.AppLang, AppPath + "Lang/");
    Pref_ApplyToCore();
    FeedBank_Install();
    Startup_LoadCatalogue();
    return true;
}

namespace {

void PrintFeed(const Rss& f) {
    nlohmann::ordered_json j;
    j["Group"] = f.Group;
    j["Name"] = f.Name;
    j["Url"] = f.Url;
    j["ExtractAs"] = f.ExtractAs;
    j["Language"] = f.Language;
    j["Description"] = f.Description;
    j["Flags"] = f.Flags;
    j["MaxFeed"] = f.MaxFeed;
    j["FormatExtractText"] = f.FormatExtractText;
    j["ContentRss"] = f.ContentRss;
    const std::string line =
        j.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
}

int Read(const std::vector<std::string>& args) {
    if (args.size() != 1) return Tool_Fail("usage: opml read FILE", 2);
    CursorList<Rss> list;
    int status = OPML_READ_OK;
    OPML_ReadFile(args[0], list, &status);
    if (status == OPML_READ_MISSING) return Tool_Fail("no such file: " + args[0]);
    if (status == OPML_READ_INVALID) {
        std::fprintf(stderr, "%s\n", Lng(L_Msg_BadFile).c_str());
        return 1;
    }
    for (const Rss& f : list)
        PrintFeed(f);
    return 0;
}

int Import(const std::vector<std::string>& args) {
    std::string file, dir;
    bool verify = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--data" && i + 1 < args.size())
            dir = args[++i];
        else if (args[i] == "--verify")
            verify = true;
        else if (file.empty() && args[i].rfind("--", 0) != 0)
            file = args[i];
        else
            return Tool_Fail("usage: opml import FILE --data DIR [--verify]", 2);
    }
    if (file.empty() || dir.empty())
        return Tool_Fail("usage: opml import FILE --data DIR [--verify]", 2);
    file = Startup_AbsoluteParam(file);
    std::string error;
    if (!EnterDataFolder(dir, error)) return Tool_Fail(error);
    CursorList<Rss> probe;
    int status = OPML_READ_OK;
    OPML_ReadFile(file, probe, &status);
    if (status == OPML_READ_MISSING) return Tool_Fail("no such file: " + file);
    ToolUi ui({}, verify);
    const int added = ImportOpmlFile(file, 0, ui);
    if (status == OPML_READ_INVALID) return 1;
    std::printf("%d\n", added);
    return 0;
}

int Export(const std::vector<std::string>& args) {
    std::string out, dir, group;
    bool hasGroup = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--data" && i + 1 < args.size()) {
            dir = args[++i];
        } else if (args[i] == "--group" && i + 1 < args.size()) {
            group = args[++i];
            hasGroup = true;
        } else if (out.empty() && args[i].rfind("--", 0) != 0) {
            out = args[i];
        } else {
            return Tool_Fail("usage: opml export --data DIR OUT [--group NAME]", 2);
        }
    }
    if (out.empty() || dir.empty())
        return Tool_Fail("usage: opml export --data DIR OUT [--group NAME]", 2);
    out = Startup_AbsoluteParam(out);
    std::string error;
    if (!EnterDataFolder(dir, error)) return Tool_Fail(error);
    ToolUi ui(out);
    int ok = 0;
    if (hasGroup) {
        if (OPML_GroupFeeds(group).Empty()) return Tool_Fail("no feed to export in group " + group);
        ok = OPML_Export(group, ui);
    } else {
        ok = OPML_Save(RssList, out, ui);
    }
    if (!ok) return Tool_Fail("cannot write " + OPML_FileName(out));
    std::printf("%s\n", OPML_FileName(out).c_str());
    return 0;
}

int Opml(const std::vector<std::string>& args) {
    if (args.empty()) return Tool_Fail("usage: opml read|import|export ...", 2);
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (args[0] == "read") return Read(rest);
    if (args[0] == "import") return Import(rest);
    if (args[0] == "export") return Export(rest);
    return Tool_Fail("usage: opml read|import|export ...", 2);
}
} // namespace

static ToolCommand reg("opml",
                       "opml read FILE | opml import FILE --data DIR [--verify] | "
                       "opml export --data DIR OUT [--group NAME]   OPML files",
                       &Opml);
