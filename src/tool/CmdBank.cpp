// orvalis-tool bank read FILE: the entries of a feed bank file as DBRss_Read gives them,
// one JSON object a line.
#include <cstdio>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "discovery/core/FeedBank.h"
#include "platform/core/FileUtil.h"
#include "shell/base/Log.h"
#include "tool/ToolCommand.h"
#include "update/core/Date.h"

static int Bank(const std::vector<std::string>& args) {
    if (args.size() != 2 || args[0] != "read") return Tool_Fail("usage: bank read FILE", 2);
    Log_SetFile("/dev/null");
    if (!File_Exists(args[1])) return Tool_Fail("no such file: " + args[1]);
    CursorList<Rss> list;
    DBRss_Read(args[1], list);
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
    return 0;
}

static ToolCommand reg("bank", "bank read FILE   the entries of a feed bank file", &Bank);
