// orvalis-tool prefs IN OUT: reads a preferences file as start-up does and writes it back
// as the program would at exit.
#include <cstdio>

#include "shell/base/Prefs.h"
#include "tool/ToolCommand.h"

static int CmdPrefs(const std::vector<std::string>& args) {
    if (args.size() != 2) return Tool_Fail("usage: orvalis-tool prefs IN OUT", 2);
    Pref_Charge(args[0], 0);
    if (!Pref_SaveTo(args[1], 1)) return Tool_Fail("cannot write " + args[1]);
    return 0;
}

static ToolCommand reg("prefs", "prefs IN OUT", &CmdPrefs);
