// orvalis-tool parse FILE: the feed reader on a file, one JSON object per parsed item.
#include <cstdio>

#include <nlohmann/json.hpp>

#include "platform/core/FileUtil.h"
#include "tool/ToolCommand.h"
#include "update/core/FeedParse.h"
#include "update/core/XmlRepair.h"

static int Parse(const std::vector<std::string>& args) {
    if (args.size() != 1) return Tool_Fail("usage: orvalis-tool parse FILE", 2);
    std::string bytes;
    if (!File_ReadAll(args[0], bytes)) return Tool_Fail("cannot read " + args[0]);
    std::unique_ptr<XmlDocument> doc =
        IsGoodXML(args[0], &bytes, static_cast<int64_t>(bytes.size()));
    if (!doc) return Tool_Fail("no XML document in " + args[0]);
    ParsedItems.clear();
    // A well-formed document whose root is none of the feed roots simply has no items.
    Feed_ReadByRoot(doc.get());
    std::string out;
    for (const Item& it : ParsedItems) {
        nlohmann::ordered_json j;
        j["Title"] = it.Title;
        j["Link"] = it.Link;
        j["Description"] = it.Description;
        j["GUID"] = it.GUID;
        j["Author"] = it.Author;
        j["PubDate"] = it.PubDate;
        j["Date"] = it.Date;
        j["AudioLink"] = it.AudioLink;
        j["AudioFile"] = it.AudioFile;
        j["AudioFileLength"] = it.AudioFileLength;
        j["ItunesDuration"] = it.ItunesDuration;
        j["Views"] = it.Views;
        out += j.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
        out += '\n';
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}

static ToolCommand reg("parse", "parse FILE", &Parse);
