// orvalis-tool bank: the feed bank file and its exchanges.
//   bank read FILE             the entries of a bank file as DBRss_Read gives them, one
//                              JSON object a line
//   bank make OUT OPML...      a bank made of the feeds of OPML files (group = the
//                              outline's category, bank date = today)
//   bank propose --data DIR    the proposal text of the folder's new feeds
//   bank take                  the entries of a proposal read from standard input
//   bank update --data DIR     the folder's bank refreshed from "DBRssURL"
#include <cstdio>
#include <ctime>
#include <string>
#include <unordered_set>
#include <vector>

#include <nlohmann/json.hpp>

#include "catalogue/core/RssList.h"
#include "discovery/core/BankExchange.h"
#include "discovery/core/FeedBank.h"
#include "discovery/core/OPML.h"
#include "platform/core/FileUtil.h"
#include "platform/core/Text.h"
#include "shell/base/Log.h"
#include "shell/base/Prefs.h"
#include "tool/ToolCommand.h"
#include "update/core/Date.h"

#include "tool/DataFolder.h"

static void PrintEntries(const CursorList<Rss>& list) {
    for (const Rss& f : list) {
        nlohmann::ordered_json j;
        j["Url"] = f.Url;
        j["Name"] = f.Name;
        j["Group"] = f.Group;
        j["ExtractAs"] = f.ExtractAs;
        j["Language"] = f.Language;
        j["Description"] = f.Description;
        j["BankDate"] = Date_Format("%yyyy/%mm/%dd", f.ItemsChanged);
        j["ContentRss"] = f.ContentRss;
        j["FormatExtractText"] = f.FormatExtractText;
        j["LastBuildDate"] = f.LastBuildDate ? Date_Format("%yyyy/%mm/%dd", f.LastBuildDate) : "";
        const std::string line =
            j.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
        std::fwrite(line.data(), 1, line.size(), stdout);
    }
}

static int Read(const std::vector<std::string>& args) {
    if (args.size() != 2) return Tool_Fail("usage: bank read FILE", 2);
    if (!File_Exists(args[1])) return Tool_Fail("no such file: " + args[1]);
    CursorList<Rss> list;
    DBRss_Read(args[1], list);
    PrintEntries(list);
    return 0;
}

static int Make(const std::vector<std::string>& args) {
    if (args.size() < 3) return Tool_Fail("usage: bank make OUT OPML...", 2);
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    const int32_t today = Date_Make(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, 0, 0, 0);
    CursorList<Rss> bank;
    std::unordered_set<std::string> seen;
    for (size_t i = 2; i < args.size(); ++i) {
        CursorList<Rss> list;
        int status = 0;
        OPML_ReadFile(args[i], list, &status);
        if (status != OPML_READ_OK) return Tool_Fail("not a readable OPML file: " + args[i]);
        for (Rss& f : list) {
            if (IsPlugInType(f.ExtractAs) || !seen.insert(Utf8Lower(f.Url)).second) continue;
            f.ItemsChanged = today;
            bank.AddLast(std::move(f));
        }
    }
    bank.Raw().sort([](const Rss& a, const Rss& b) {
        const std::string ga = Utf8Lower(a.Group), gb = Utf8Lower(b.Group);
        return ga != gb ? ga < gb : Utf8Lower(a.Name) < Utf8Lower(b.Name);
    });
    bank.Reset();
    if (!DBRss_WriteList(bank, args[1])) return Tool_Fail("cannot write " + args[1]);
    std::printf("%zu feeds\n", bank.Size());
    return 0;
}

static int Propose(const std::vector<std::string>& args) {
    if (args.size() != 3 || args[1] != "--data")
        return Tool_Fail("usage: bank propose --data DIR", 2);
    std::string error;
    if (!EnterDataFolder(args[2], error)) return Tool_Fail(error);
    std::string lines;
    const int n = DBRss_NewFeedLines(BANK_FILE, lines);
    if (n < 0) return Tool_Fail("cannot read OrvalisU.Dat");
    if (n == 0) return Tool_Fail("Pas de nouveau flux identifié !");
    std::printf("%s\n", DBRss_ProposalText(lines).c_str());
    return 0;
}

static int Take(const std::vector<std::string>& args) {
    if (args.size() != 1) return Tool_Fail("usage: bank take", 2);
    std::string text;
    char buf[65536];
    size_t got;
    // Bounded like the clipboard: a proposal is text, not a file of any size.
    while ((got = std::fread(buf, 1, sizeof buf, stdin)) > 0 &&
           text.size() < BANK_PROPOSAL_MAX_BYTES)
        text.append(buf, got);
    CursorList<Rss> list;
    if (DBRss_ReadClipboardText(text, list) == 0)
        return Tool_Fail("Pas de nouveaux flux dans les 0 identifiés !");
    PrintEntries(list);
    return 0;
}

static int Update(const std::vector<std::string>& args) {
    if (args.size() != 3 || args[1] != "--data")
        return Tool_Fail("usage: bank update --data DIR", 2);
    std::string error;
    if (!EnterDataFolder(args[2], error)) return Tool_Fail(error);
    const int status = DBRss_Update(Pref.DBRssURL, BANK_FILE, Download_GetSettings());
    if (status == BANK_UPDATED) std::printf("updated\n");
    if (status == BANK_SAME) std::printf("same\n");
    if (status == BANK_UPDATE_ERROR)
        return Tool_Fail("Erreur durant la mise à jour de la banque de flux !");
    return 0;
}

static int Bank(const std::vector<std::string>& args) {
    Log_SetFile("/dev/null");
    if (args.empty()) return Tool_Fail("usage: bank read|make|propose|take|update ...", 2);
    if (args[0] == "read") return Read(args);
    if (args[0] == "make") return Make(args);
    if (args[0] == "propose") return Propose(args);
    if (args[0] == "take") return Take(args);
    if (args[0] == "update") return Update(args);
    return Tool_Fail("usage: bank read|make|propose|take|update ...", 2);
}

static ToolCommand reg("bank",
                       "bank read FILE | make OUT OPML... | propose --data DIR | take | "
                       "update --data DIR   the feed bank",
                       &Bank);
