// orvalis-tool say TEXT [COUNT]: speaks TEXT through the running screen reader COUNT times
// (default 1) and prints how many were handed over, then the detected screen reader.
#include <cstdio>

#include "access/core/ScreenReaderSay.h"
#include "platform/core/Text.h"
#include "tool/ToolCommand.h"

static int CmdSay(const std::vector<std::string>& args) {
    if (args.empty() || args.size() > 2)
        return Tool_Fail("usage: orvalis-tool say TEXT [COUNT]", 2);
    int count = args.size() == 2 ? ValInt32(args[1]) : 1;
    if (count < 1) return Tool_Fail("the count must be at least 1", 2);
    int spoken = 0;
    for (int i = 0; i < count; ++i)
        spoken += ScreenReader_Say(args[0], 0);
    static const char* names[] = {"none", "JAWS", "NVDA", "Orca"};
    int detected = ScreenReader_Detect();
    std::printf("spoken=%d/%d screenreader=%s\n", spoken, count,
                detected >= 0 && detected <= 3 ? names[detected] : "?");
    ScreenReader_Close();
    return spoken == count ? 0 : 1;
}

static ToolCommand reg("say", "say TEXT [COUNT]", &CmdSay);
