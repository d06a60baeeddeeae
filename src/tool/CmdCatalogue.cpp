// orvalis-tool catalogue IN OUT: loads a catalogue as the program does at start-up (with
// the default preferences) and writes it back the way the program saves it.
#include <cstdio>
#include <string>
#include <vector>

#include "catalogue/core/RssList.h"
#include "platform/core/FileUtil.h"
#include "shell/base/Log.h"
#include "tool/ToolCommand.h"

static int CatalogueCmd(const std::vector<std::string>& args) {
    if (args.size() != 2) return Tool_Fail("usage: catalogue IN OUT", 2);
    if (!RssList_Load(args[0])) return Tool_Fail("cannot open the catalogue " + args[0]);
    if (!RssList_DirectSave(args[1])) return Tool_Fail("cannot write " + args[1]);
    return 0;
}
static ToolCommand reg("catalogue", "catalogue IN OUT   load a feed catalogue and save it again",
                       &CatalogueCmd);

// Saves FILE over and over, one feed more each time, and prints the number of feeds after
// every save that completed. Used to check that a save killed at any moment never leaves
// a catalogue with fewer feeds than the last complete save.
static int SaveLoopCmd(const std::vector<std::string>& args) {
    Log_SetFile("/dev/null");
    if (args.size() != 2) return Tool_Fail("usage: catalogue-saveloop FILE COUNT", 2);
    const long count = std::stol(args[1]);
    RssList_Load(args[0]);
    for (long i = 0; i < count; ++i) {
        Rss r;
        r.Name = "Feed " + std::to_string(RssList.Size() + 1);
        r.Url = "http://example.org/feed/" + std::to_string(RssList.Size() + 1);
        r.Description = std::string(200, 'd');
        RssList_Add(r);
        if (!RssList_DirectSave(args[0])) return Tool_Fail("cannot write " + args[0]);
        std::printf("%zu\n", RssList.Size());
        std::fflush(stdout);
    }
    return 0;
}
static ToolCommand regLoop("catalogue-saveloop",
                           "catalogue-saveloop FILE COUNT   (test) save a growing catalogue",
                           &SaveLoopCmd);
