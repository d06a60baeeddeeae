// orvalis-tool checkversion URL: reads the update page at URL as the program's check
// does, and prints the remote version text, its compared value and "newer" or "same".
#include <cstdio>
#include <string>
#include <vector>

#include "shell/base/Log.h"
#include "shell/core/UpdateCheck.h"
#include "tool/ToolCommand.h"

static int CheckVersionCmd(const std::vector<std::string>& args) {
    if (args.size() != 1) return Tool_Fail("usage: checkversion URL", 2);
    Log_SetFile("/dev/null");
    const CheckVersionResult r = CheckNewVersion_Run(args[0]);
    switch (r.Status) {
    case CHECKVERSION_NO_NETWORK:
        return Tool_Fail("checkversion: no network");
    case CHECKVERSION_NOT_REACHED:
        return Tool_Fail("checkversion: the update page is not reachable: " + args[0]);
    case CHECKVERSION_NO_TEMP:
        return Tool_Fail("checkversion: the downloaded page could not be read");
    default:
        break;
    }
    std::printf("remote version: %s\nvalue: %s\n%s\n", r.Remote.c_str(),
                Version_ValueText(r.Value).c_str(),
                r.Status == CHECKVERSION_NEWER ? "newer" : "same");
    return 0;
}

static ToolCommand reg("checkversion",
                       "checkversion URL   read an update page and compare its version with "
                       "this one",
                       &CheckVersionCmd);
