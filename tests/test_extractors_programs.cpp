// The four extractor programs run as real processes on hand-written pages, with the clock
// fixed by faketime; their UTF-16LE output is decoded and compared line by line.
#include "platform/core/Text.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

const char kClock[] = "2026-03-01 10:00:00";

struct PlugInRun {
    int ExitCode = -1;
    std::vector<std::string> Lines; // UTF-8, without their CR LF
    std::string Raw;
    std::string Err;
};

// Decodes the output, checking that it is UTF-16LE without byte-order mark, every line ended
// by CR LF.
void DecodeOutput(PlugInRun& run) {
    ASSERT_EQ(run.Raw.size() % 2, 0u) << "odd number of UTF-16 bytes";
    ASSERT_FALSE(run.Raw.starts_with("\xFF\xFE")) << "byte-order mark written";
    const std::string text = Utf16LEBytesToUtf8(run.Raw);
    if (text.empty()) return;
    ASSERT_TRUE(text.ends_with("\r\n")) << "last line not ended by CR LF";
    size_t from = 0;
    while (from < text.size()) {
        const size_t end = text.find("\r\n", from);
        const std::string line = text.substr(from, end - from);
        ASSERT_EQ(line.find_first_of("\r\n"), std::string::npos) << "stray line end in " << line;
        run.Lines.push_back(line);
        from = end + 2;
    }
}

PlugInRun RunPlugIn(const std::string& program, const std::vector<std::string>& args,
                    const std::string& clock = kClock) {
    std::vector<std::string> argv{"/usr/bin/faketime", clock,
                                  BinPath("PlugIn/" + program + ".exe")};
    argv.insert(argv.end(), args.begin(), args.end());
    const ProcessResult r = RunProcess(argv, {}, {"TZ=UTC"}, 30000);
    PlugInRun run;
    run.ExitCode = r.ExitCode;
    run.Raw = r.Out;
    run.Err = r.Err;
    DecodeOutput(run);
    return run;
}

std::vector<std::string> ExpectedLines(const std::string& fixture) {
    std::vector<std::string> lines;
    const std::string text = ReadFileOrEmpty(TestData(fixture));
    for (const std::string& l : Split(text, '\n'))
        lines.push_back(l);
    if (!lines.empty() && lines.back().empty()) lines.pop_back();
    return lines;
}

std::string Field(const std::vector<std::string>& lines, size_t item, const std::string& key) {
    size_t seen = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i] == "Orvalis") ++seen;
        if (seen == item + 1 && lines[i].starts_with(key + "="))
            return lines[i].substr(key.size() + 1);
    }
    return "<missing>";
}

const char* const kPrograms[] = {"OV-Meteo", "OV-Annonces", "OV-ProgTV", "OV-YouTube"};

} // namespace

TEST(ExtractorPrograms, AreInstalledInThePlugInFolderUnderTheirExeNames) {
    for (const char* p : kPrograms)
        EXPECT_TRUE(std::filesystem::exists(BinPath(std::string("PlugIn/") + p + ".exe"))) << p;
}

TEST(ExtractorPrograms, WriteTheExpectedItemLinesForEachSamplePage) {
    struct Case {
        const char* Program;
        const char* Page; // tests/data/extractors/<program>/<page>.html and .expected
    };
    const Case cases[] = {
        // The current item and the day items; nested blocks, images, entities, 8-bit page.
        {"OV-Meteo", "town-page-in-windows-1252"},
        // The same page in UTF-8 gives the same items.
        {"OV-Meteo", "town-page-in-utf-8"},
        // Without the hourly list nothing is written, not even the day items that follow.
        {"OV-Meteo", "missing-hourly-list-writes-nothing"},
        // Without the day list only the current item is written.
        {"OV-Meteo", "missing-day-list-writes-current-item-only"},
        // An ad without "h2" is skipped; "abbr" is no link; a missing link stays empty.
        {"OV-Annonces", "search-results-in-utf-8"},
        // The same results declared "ISO-8859-15" and stored in 8 bits.
        {"OV-Annonces", "search-results-in-windows-1252"},
        // Another class on the result section: no items.
        {"OV-Annonces", "missing-result-section-writes-nothing"},
        // Channel rows, several entries per row, a time that is no "%hh:%ii", an entry
        // without title, runs of spaces folded in the output only.
        {"OV-ProgTV", "tonight-in-windows-1252"},
        // The same page saved as UTF-16 with a byte-order mark.
        {"OV-ProgTV", "tonight-in-utf-16-with-byte-order-mark"},
        // Another class on the programme list: no items.
        {"OV-ProgTV", "missing-programme-list-writes-nothing"},
        // Results with duration and information lines; a blank heading is skipped; only the
        // first result list counts.
        {"OV-YouTube", "search-results-in-utf-8"},
        // Another class on the result list: no items.
        {"OV-YouTube", "missing-result-list-writes-nothing"},
    };
    for (const Case& c : cases) {
        const std::string base = std::string("extractors/") + c.Program + "/" + c.Page;
        SCOPED_TRACE(base);
        const PlugInRun run =
            RunPlugIn(c.Program, {TestData(base + ".html"), "https://example.org/page"});
        EXPECT_EQ(run.ExitCode, 0);
        EXPECT_EQ(run.Lines, ExpectedLines(base + ".expected"));
    }
}

TEST(ExtractorPrograms, EndWithExitCodeTwoAndNoOutputWhenThePageIsMissing) {
    TempDir dir;
    for (const char* p : kPrograms) {
        SCOPED_TRACE(p);
        // A path that does not exist.
        PlugInRun run = RunPlugIn(p, {dir.File("absent.htm"), "https://example.org/"});
        EXPECT_EQ(run.ExitCode, 2);
        EXPECT_TRUE(run.Raw.empty());
        // No argument at all.
        run = RunPlugIn(p, {});
        EXPECT_EQ(run.ExitCode, 2);
        EXPECT_TRUE(run.Raw.empty());
        // An empty page-file argument (the main program's "no page").
        run = RunPlugIn(p, {"", "https://example.org/"});
        EXPECT_EQ(run.ExitCode, 2);
        // A folder is no page.
        run = RunPlugIn(p, {dir.Path()});
        EXPECT_EQ(run.ExitCode, 2);
        EXPECT_TRUE(run.Raw.empty());
    }
}

TEST(ExtractorPrograms, ReadThePageWithoutTheFeedAddressArgument) {
    const std::string base = "extractors/OV-YouTube/search-results-in-utf-8";
    const PlugInRun run = RunPlugIn("OV-YouTube", {TestData(base + ".html")});
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_EQ(run.Lines, ExpectedLines(base + ".expected"));
}

TEST(ExtractorPrograms, TakeOpenGuiInAnyCaseAndFailGracefullyWithoutADisplay) {
    struct Case {
        const char* Program;
        const char* FirstLine;
        const char* Address; // shown with the text when the box cannot be
    };
    const Case cases[] = {
        {"OV-Meteo", "Extraction Météo-France", "https://meteofrance.com/"},
        {"OV-Annonces", "Extraction LeBonCoin", "https://www.leboncoin.fr/"},
        {"OV-ProgTV", "Extraction de programme TV", "https://www.programme-tv.net"},
        {"OV-YouTube", "Recherche de vidéos sur le site YouTube", ""},
    };
    for (const Case& c : cases) {
        for (const char* arg : {"OpenGUI", "opengui", "OPENGUI", "oPeNgUi"}) {
            SCOPED_TRACE(std::string(c.Program) + " " + arg);
            const ProcessResult r =
                RunProcess({"/usr/bin/env", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY",
                            BinPath(std::string("PlugIn/") + c.Program + ".exe"), arg},
                           {}, {}, 30000);
            EXPECT_EQ(r.ExitCode, 1) << r.Err; // not killed, not taken as a page file (2)
            EXPECT_TRUE(r.Out.empty());
            EXPECT_NE(r.Err.find(c.FirstLine), std::string::npos) << r.Err;
            EXPECT_NE(r.Err.find(c.Address), std::string::npos) << r.Err;
        }
    }
}

TEST(ExtractorPrograms, GiveWeatherDayItemsTheHourAsDateAndTheDayAsGuid) {
    const std::string page = TestData("extractors/OV-Meteo/town-page-in-windows-1252.html");
    const PlugInRun before = RunPlugIn("OV-Meteo", {page, "u"}, "2026-03-01 10:59:00");
    const PlugInRun after = RunPlugIn("OV-Meteo", {page, "u"}, "2026-03-01 11:00:00");
    ASSERT_EQ(before.Lines.size(), 21u);
    ASSERT_EQ(after.Lines.size(), 21u);
    for (size_t item = 0; item < 3; ++item) {
        EXPECT_EQ(Field(before.Lines, item, "GuID"), Field(after.Lines, item, "GuID"));
        EXPECT_EQ(Field(before.Lines, item, "PubDate"), "2026-03-01T10:00:00Z");
        EXPECT_EQ(Field(after.Lines, item, "PubDate"), "2026-03-01T11:00:00Z");
    }
    // The next day the same titles get other GuIDs.
    const PlugInRun nextDay = RunPlugIn("OV-Meteo", {page, "u"}, "2026-03-02 10:00:00");
    EXPECT_EQ(Field(nextDay.Lines, 1, "GuID"), "260302Lundi 2");
}

TEST(ExtractorPrograms, GiveVideoResultsTheSameGuidsAndDatesWithinOneMinute) {
    const std::string page = TestData("extractors/OV-YouTube/search-results-in-utf-8.html");
    const PlugInRun first = RunPlugIn("OV-YouTube", {page, "u"}, "2026-03-01 10:00:05");
    const PlugInRun second = RunPlugIn("OV-YouTube", {page, "u"}, "2026-03-01 10:00:50");
    const PlugInRun later = RunPlugIn("OV-YouTube", {page, "u"}, "2026-03-01 10:01:10");
    ASSERT_EQ(first.Lines.size(), 14u);
    EXPECT_EQ(first.Lines, second.Lines);
    for (size_t item = 0; item < 2; ++item) {
        EXPECT_EQ(Field(first.Lines, item, "GuID"), Field(later.Lines, item, "GuID"));
        EXPECT_EQ(Field(first.Lines, item, "PubDate"), "2026-03-01T10:00:00Z");
        EXPECT_EQ(Field(later.Lines, item, "PubDate"), "2026-03-01T10:01:00Z");
    }
}

TEST(ExtractorPrograms, DateTvEntriesTodayAtTheirHour) {
    const std::string page = TestData("extractors/OV-ProgTV/tonight-in-windows-1252.html");
    const PlugInRun run = RunPlugIn("OV-ProgTV", {page, "u"}, "2026-07-14 18:30:00");
    EXPECT_EQ(Field(run.Lines, 0, "PubDate"), "2026-07-14T21:05:00Z");
    // "20h55" is no "%hh:%ii": the entry takes the current time.
    EXPECT_EQ(Field(run.Lines, 1, "PubDate"), "2026-07-14T18:30:00Z");
    EXPECT_EQ(Field(run.Lines, 2, "PubDate"), "2026-07-14T22:40:00Z");
}
