#include "plugins/extractors/frame/ExtractorMain.h"

#include "plugins/extractors/frame/ItemWriter.h"
#include "plugins/extractors/frame/PageFile.h"
#include "platform/core/Text.h"

#include <chrono>
#include <csignal>
#include <ctime>
#include <thread>

int ExtractorMain(int argc, char** argv, const ExtractorProgram& program) {
    RunDate_Take(std::time(nullptr));
    const std::string pageFile = argc > 1 ? argv[1] : "";
    const std::string feedUrl = argc > 2 ? argv[2] : "";

    if (AsciiLower(pageFile) == "opengui") {
        const int code = program.ShowSettings ? program.ShowSettings(program) : Extractor_Ok;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        return code;
    }

    // A reader that goes away must end the run quietly, not kill it with a signal.
    std::signal(SIGPIPE, SIG_IGN);
    Writer_Configure({program.ItemDates, program.SqueezeSpaces});
    std::string text;
    if (!ReadPageFile(pageFile, text, PageAnsi)) return Extractor_NoPage;
    HtmlPage page;
    SetPage(page, std::move(text));
    program.Parse(page, Ansi(feedUrl));
    return Extractor_Ok;
}
