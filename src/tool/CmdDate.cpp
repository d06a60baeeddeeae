// orvalis-tool date TEXT...: how the feed readers date each text.
#include <cstdio>

#include "tool/ToolCommand.h"
#include "update/core/Date.h"

static int CmdDate(const std::vector<std::string>& args) {
    if (args.empty()) return Tool_Fail("usage: date TEXT...", 2);
    TimeZoneOffset = GetLocalOffsetTimeZone();
    for (const std::string& text : args) {
        const int32_t d = Feed_ParseDate(text);
        std::printf("%d\t%s\n", d, FormatItemDate(d, 9).c_str());
    }
    return 0;
}

static ToolCommand reg("date", "date TEXT...", &CmdDate);
