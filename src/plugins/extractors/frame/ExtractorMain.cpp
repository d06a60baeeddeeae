#include "plugins/extractors/frame/ExtractorMain.h"

#include "plugins/extractors/frame/ItemWriter.h"
#include "plugins/extractors/frame/PageFile.h"
#include "platform/core/Text.h"

#include <chrono>
#include <csignal>
#include <ctime>
#include <thread>

#ifdef _WIN32
#include "platform/core/WinText.h"
#endif

int ExtractorMain(int argc, char** argv, const ExtractorProgram& program) {
    RunDate_Take(std::time(nullptr));
#ifdef _WIN32
    // The arguments as the host passed them (UTF-8 from the wide command line: a page file
    // in a folder with accents), and the UTF-16LE output byte for byte, no "\r" added.
    (void)argc;
    (void)argv;
    Win_BinaryStdio();
    const std::vector<std::string> args = Win_Arguments();
    const std::string pageFile = args.size() > 1 ? args[1] : "";
    const std::string feedUrl = args.size() > 2 ? args[2] : "";
#else
    const std::string pageFile = argc > 1 ? argv[1] : "";
    const std::string feedUrl = argc > 2 ? argv[2] : "";
#endif

    if (AsciiLower(pageFile) == "opengui") {
        const int code = program.ShowSettings ? program.ShowSettings(program) : Extractor_Ok;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        return code;
    }

    // A reader that goes away must end the run quietly, not kill it with a signal.
#ifndef _WIN32
    std::signal(SIGPIPE, SIG_IGN);
#endif
    Writer_Configure({program.ItemDates, program.SqueezeSpaces});
    std::string text;
    if (!ReadPageFile(pageFile, text, PageAnsi)) return Extractor_NoPage;
    HtmlPage page;
    SetPage(page, std::move(text));
    program.Parse(page, Ansi(feedUrl));
    return Extractor_Ok;
}
