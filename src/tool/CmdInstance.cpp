// orvalis-tool instance DIR [PARAM...]: the single-instance check of start-up, run in the
// data folder DIR. The first instance prints "running", waits up to 20 s for a hand-over
// and prints "handover KIND TEXT"; a second start hands over, prints "handed-over" and
// ends.
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/core/FileUtil.h"
#include "shell/base/Log.h"
#include "shell/core/SingleInstance.h"
#include "tool/ToolCommand.h"

static int InstanceCmd(const std::vector<std::string>& args) {
    if (args.empty()) return Tool_Fail("usage: instance DIR [PARAM...]", 2);
    Log_SetFile("/dev/null");
    if (!Dir_SetCurrent(args[0])) return Tool_Fail("cannot enter " + args[0]);
    const std::vector<std::string> params(args.begin() + 1, args.end());
    if (!CheckSingleInstance(params)) {
        std::printf("handed-over\n");
        return 0;
    }
    std::printf("running\n");
    std::fflush(stdout);
    InstanceHandOver h;
    const bool got = SingleInstance_Wait(h, 20000);
    if (got) std::printf("handover %d %s\n", h.Kind, h.Text.c_str());
    SingleInstance_Release();
    return got ? 0 : 3;
}
static ToolCommand reg("instance", "instance DIR [PARAM...]   (test) single-instance hand-over",
                       &InstanceCmd);
