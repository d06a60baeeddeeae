// The extractors' frame called directly: scanning toolkit, HTML to text, entities, page file
// reading, item writing and the entry's argument handling. Texts are Windows-1252 bytes.
#include "platform/core/Text.h"
#include "plugins/extractors/frame/ExtractorMain.h"
#include "plugins/extractors/frame/HtmlPage.h"
#include "plugins/extractors/frame/HtmlToText.h"
#include "plugins/extractors/frame/ItemWriter.h"
#include "plugins/extractors/frame/PageFile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <sstream>
#include <unistd.h>

namespace {
HtmlPage Page(const std::string& text) {
    HtmlPage p;
    SetPage(p, text);
    return p;
}
std::string A(const char* utf8) {
    return Ansi(utf8);
}
} // namespace

TEST(ExtractorFrame, SetPageKeepsTheTextItsLowerCaseCopyAndLength) {
    const HtmlPage p = Page(A("<DIV Class=\"X\">ÉTÉ Œuvre</DIV>"));
    EXPECT_EQ(p.Lower, A("<div class=\"x\">été œuvre</div>"));
    EXPECT_EQ(p.Length, static_cast<long>(p.Text.size()));
    EXPECT_EQ(p.Lower.size(), p.Text.size());
}

TEST(ExtractorFrame, FindTagFindsOpeningTagsByNameAndAttribute) {
    struct Row {
        const char* Html;
        long Start;
        const char* Tag;
        const char* Attr;
        const char* Value;
        long Limit;
        long Expected;
    };
    const Row rows[] = {
        // Plain name, positions are 1-based.
        {"<p>x</p><a href=1>y</a>", 1, "a", "", "", -1, 9},
        // A longer name beginning with the letter a is not "a".
        {"<abbr>x</abbr><a>y</a>", 1, "a", "", "", -1, 15},
        // Names are found whatever their case.
        {"<P>x</P><DIV>", 1, "div", "", "", -1, 9},
        // "/" may follow the name.
        {"<br/>", 1, "br", "", "", -1, 1},
        // A line feed after the name counts as the blank.
        {"<div\nclass=\"x\">", 1, "div", "class", "x", -1, 1},
        // Search starts at `start` inclusive.
        {"<a>1</a><a>2</a>", 2, "a", "", "", -1, 9},
        // A tag at `limit` or after is not found.
        {"<a>1</a><a>2</a>", 2, "a", "", "", 9, 0},
        {"<a>1</a><a>2</a>", 2, "a", "", "", 10, 9},
        // A limit of 0 (a failed search) finds nothing.
        {"<a>1</a>", 1, "a", "", "", 0, 0},
        // Empty name: any opening tag, never a closing one.
        {"text</b><i>", 1, "", "", "", -1, 9},
        // Attribute value compared ignoring case.
        {"<div class=a><div class=\"Row\">", 1, "div", "class", "row", -1, 14},
        // "*" at the end: the value begins with the rest.
        {"<a class=\"list\"><a class='list_item12'>", 1, "a", "class", "list_item*", -1, 17},
        // "*" at the start: the value ends with the rest.
        {"<span class=\"time-a\"><span class=\"big-time\">", 1, "span", "class", "*time", -1, 22},
        // "*" at both ends: the value holds the rest.
        {"<b id=xay>", 1, "b", "id", "*a*", -1, 1},
        // The attribute must be there.
        {"<div id=x>", 1, "div", "class", "x", -1, 0},
        // The whole value must match without "*".
        {"<div class=\"row big\">", 1, "div", "class", "row", -1, 0},
        // Nothing found.
        {"<p>", 1, "div", "", "", -1, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.Html);
        HtmlPage p = Page(r.Html);
        EXPECT_EQ(FindTag(p, r.Start, r.Tag, r.Attr, r.Value, r.Limit), r.Expected);
    }
}

TEST(ExtractorFrame, FindClosingTagCountsNestedElementsOfTheSameName) {
    struct Row {
        const char* Html;
        long Pos;
        const char* Tag;
        long Limit;
        long Expected;
    };
    const Row rows[] = {
        // Simple element.
        {"<div>x</div>", 1, "div", -1, 7},
        // Nested elements of the same name are counted.
        {"<div><div>x</div></div>", 1, "div", -1, 18},
        // Nested, from the inner one.
        {"<div><div>x</div></div>", 6, "div", -1, 12},
        // A longer closing name is not the one.
        {"<a><abbr>x</abbr></a>", 1, "a", -1, 18},
        // Other names do not count.
        {"<ul><li><ul></ul></li></ul>", 5, "li", -1, 18},
        // A self-closed element of the same name inside does not open a level.
        {"<div><div/>x</div>", 1, "div", -1, 13},
        // A closing tag at the limit or after is not found.
        {"<div>x</div>", 1, "div", 7, 0},
        // An element never closed.
        {"<div><div>x</div>", 1, "div", -1, 0},
        // A quoted ">" inside the opening tag does not end it.
        {"<a title=\"a > b\">x</a>", 1, "a", -1, 19},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.Html);
        const HtmlPage p = Page(r.Html);
        EXPECT_EQ(FindClosingTag(p, r.Pos, r.Tag, r.Limit), r.Expected);
    }
}

TEST(ExtractorFrame, FindNextTagSkipsTheElementsNestedInTheCurrentOne) {
    HtmlPage p = Page("<ul><li>a<ul><li>b</li></ul></li><li>c</li></ul>");
    const long first = FindTag(p, 1, "li");
    EXPECT_EQ(first, 5);
    EXPECT_EQ(FindNextTag(p, first, "li"), 34);
    // An element never closed: the search goes on from the next character.
    HtmlPage q = Page("<li>a<li>b");
    EXPECT_EQ(FindNextTag(q, 1, "li"), 6);
}

TEST(ExtractorFrame, TagNameTextAndContentReadTheElementAtAPosition) {
    const HtmlPage p = Page("x<DIV class=\"a\"><div>in</div> out</DIV><br/><img src=x");
    EXPECT_EQ(TagName(p, 2), "div");
    EXPECT_EQ(TagText(p, 2), "<DIV class=\"a\">");
    EXPECT_EQ(TagContent(p, 2), "<div>in</div> out");
    EXPECT_EQ(TagName(p, 40), "br");
    // A quoted ">" does not end the tag.
    const HtmlPage q = Page("<img alt=\"a > b\" title=x>z");
    EXPECT_EQ(TagText(q, 1), "<img alt=\"a > b\" title=x>");
    // TagText without ">" runs to the end of the text.
    EXPECT_EQ(TagText(p, 45), "<img src=x");
    // An element never closed has no content.
    EXPECT_EQ(TagContent(p, 45), "");
    // Positions outside the text.
    EXPECT_EQ(TagName(p, 0), "");
    EXPECT_EQ(TagContent(p, 999), "");
}

TEST(ExtractorFrame, ParseTagAttributesLowerCasesNamesAndUnquotesValues) {
    struct Row {
        const char* Html;
        std::map<std::string, std::string> Expected;
    };
    const Row rows[] = {
        // Double, single and no quotes; names lower-cased, values as written.
        {"<a HREF=\"/X?a=1&amp;b\" Class='Big One' data-n=42>",
         {{"href", "/X?a=1&amp;b"}, {"class", "Big One"}, {"data-n", "42"}}},
        // A bare attribute has an empty value; blanks around "=" are allowed.
        {"<input disabled value = \"v\">", {{"disabled", ""}, {"value", "v"}}},
        // A quoted ">" belongs to the value.
        {"<img alt=\"a > b\" title=t>", {{"alt", "a > b"}, {"title", "t"}}},
        // Self-closing slash is no attribute.
        {"<br class=x />", {{"class", "x"}}},
        // The first of two equal names wins.
        {"<p id=1 ID=2>", {{"id", "1"}}},
        // A tag without attributes.
        {"<p>", {}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.Html);
        HtmlPage p = Page(r.Html);
        ParseTagAttributes(p, 1);
        EXPECT_EQ(p.Attributes, r.Expected);
    }
}

TEST(ExtractorFrame, RemoveElementsCutsWholeElementsOfEachListedName) {
    struct Row {
        const char* Html;
        const char* List;
        const char* Expected;
    };
    const Row rows[] = {
        // Every element of the name, with its content.
        {"1<a href=x>2</a>3<a>4</a>5", "a", "135"},
        // Nested elements of the same name go with the outer one.
        {"x<div>a<div>b</div>c</div>y", "div", "xy"},
        // Several names separated by ";".
        {"<script>s</script>t<style>u</style>v", "script;style", "tv"},
        // Other names that begin alike stay.
        {"<abbr>k</abbr><a>z</a>", "a", "<abbr>k</abbr>"},
        // An element never closed: its tag alone is cut.
        {"1<a href=x>2", "a", "12"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.Html);
        HtmlPage p = Page(r.Html);
        RemoveElements(p, r.List);
        EXPECT_EQ(p.Text, r.Expected);
        EXPECT_EQ(p.Lower, AnsiLower(r.Expected));
    }
}

TEST(ExtractorFrame, RemoveTagsCutsFromEachLessThanToTheNextGreaterThan) {
    EXPECT_EQ(RemoveTags("<b>bold</b> and <i>it</i>"), "bold and it");
    // A "<" without ">" removes the rest.
    EXPECT_EQ(RemoveTags("a < b"), "a ");
    EXPECT_EQ(RemoveTags("a > b"), "a > b");
}

TEST(ExtractorFrame, HtmlToTextAppliesItsOptionBitsInOrder) {
    struct Row {
        const char* Html;
        int Options;
        std::string Expected;
    };
    const Row rows[] = {
        // 8 + 1: two words around a line-break tag become two lines.
        {"un<br>deux", 9, "un\ndeux"},
        // Without bit 1 the marker of the break stays for the writer to drop.
        {"un<BR/>deux", 8,
         "un\x11"
         "deux"},
        // A U+0011 already in the text is removed first.
        {"a\x11"
         "b<br>c",
         9, "ab\nc"},
        // 2: an image becomes its longer text between commas, or nothing.
        {"x<img alt=\"court\" title=\"plus long\">y", 2, "x, plus long, y"},
        {"x<img alt=\"le plus long\" title=t>y", 2, "x, le plus long, y"},
        // A quoted ">" in an image text stays inside it.
        {"x<img alt=\"3 > 2\">y", 6, "x, 3 > 2, y"},
        {"x<img src=a.png>y", 2, "xy"},
        // 16: links go with their content; 4: other tags go, content stays.
        {"<p>lire <a href=x>ici</a> ou <b>la</b></p>", 20, "lire  ou la"},
        // 4 without 1: entities stay.
        {"<b>&eacute;t&eacute;</b>", 4, "&eacute;t&eacute;"},
        // 1: line feeds of the source are spaces.
        {"un\ndeux\r\ntrois", 1, "un deux  trois"},
        // 32: lines trimmed, empty lines dropped.
        {" a <br><br>  b  <br>", 45, "a\nb"},
        // 55 on a typical block.
        {"<div><img alt=\"Soleil\"> 12&deg;C <a href=x>voir</a></div>", 55, A(", Soleil,  12°C")},
        // 37: tags removed, entities decoded, trimmed.
        {"  <span>20:55</span>  ", 37, "20:55"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.Html);
        EXPECT_EQ(HtmlToText(r.Html, r.Options), r.Expected);
    }
    // The line-break argument stands for each line feed of the result.
    EXPECT_EQ(HtmlToText("a<br>b", 9, "\r\n"), "a\r\nb");
}

TEST(ExtractorFrame, DecodeEntitiesDecodesItsFixedSetInItsFixedOrder) {
    struct Row {
        const char* Text;
        const char* Expected;
    };
    const Row rows[] = {
        // CR becomes LF, LF becomes a space.
        {"a\r\nb\nc", "a  b c"},
        // U+0011 and the four "<br>" forms in any case become the line break.
        {"1\x11"
         "2<BR>3<br >4<Br/>5<br />6",
         "1|2|3|4|5|6"},
        // Other "<br>" spellings stay.
        {"a<br class=x>b", "a<br class=x>b"},
        // The first five.
        {"&nbsp;&quot;&rsquo;&lt;&gt;", " \"'<>"},
        // "&amp;" comes last: an escaped reference is never decoded twice.
        {"&amp;lt; &amp;eacute; &amp;#39; &amp;#8364;", "&lt; &eacute; &#39; &#8364;"},
        // The no-break byte becomes a space.
        {"a\xA0"
         "b",
         "a b"},
        // The numeric apostrophes and quotes.
        {"&#39;&#039;&#34;&#034;", "''\"\""},
        // Names are case-sensitive.
        {"&Eacute;&eacute;&EACUTE;", "\xC9\xE9&EACUTE;"},
        // The yen sign has no name here; other numeric references stay.
        {"&yen; &#233; &#x20AC;", "&yen; &#233; &#x20AC;"},
        // 0x8E and 0x9E by number.
        {"&#381;&#382;", "\x8E\x9E"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.Text);
        EXPECT_EQ(DecodeEntities(r.Text, "|"), r.Expected);
    }
}

TEST(ExtractorFrame, DecodeEntitiesKnowsEveryHtml4NameOfTheCodePage) {
    std::istringstream list(
        ReadFileOrEmpty(TestData("extractors/frame/html4-names-of-windows-1252-characters.txt")));
    std::string line;
    int count = 0;
    while (std::getline(list, line)) {
        if (line.empty() || line[0] == '#') continue;
        const size_t sp = line.find(' ');
        const std::string name = line.substr(0, sp);
        const char byte = static_cast<char>(std::strtol(line.c_str() + sp + 1, nullptr, 16));
        // "&rsquo;" is taken earlier, as a plain apostrophe.
        const std::string expected = name == "&rsquo;" ? "'" : std::string(1, byte);
        EXPECT_EQ(DecodeEntities("x" + name + "y", "\n"), "x" + expected + "y") << name;
        ++count;
    }
    EXPECT_EQ(count, 119);
}

TEST(ExtractorFrame, DecodeEntitiesKnowsTheDecimalReferencesOfEveryByteFrom80To9F) {
    int count = 0;
    for (int b = 0x80; b < 0xA0; ++b) {
        const char32_t cp = Cp1252ToCodePoint(static_cast<unsigned char>(b));
        if (cp == static_cast<char32_t>(b)) continue; // an unassigned byte
        const std::string ref = "&#" + std::to_string(cp) + ";";
        EXPECT_EQ(DecodeEntities(ref, "\n"), std::string(1, static_cast<char>(b))) << ref;
        ++count;
    }
    EXPECT_EQ(count, 27);
}

TEST(ExtractorFrame, CleanOutputValueMarksLineFeedsAndDropsControls) {
    struct Row {
        const char* Text;
        bool Squeeze;
        const char* Expected;
    };
    const Row rows[] = {
        // A line feed becomes "<br>", CR and tab vanish.
        {"a\r\nb\tc", false, "a<br>bc"},
        // Runs of spaces stay for the weather and ads programs...
        {"a   b", false, "a   b"},
        // ... and fold to one for the TV and video programs.
        {"a   b  c ", true, "a b c "},
        // A tab between two spaces vanishes first, then the spaces fold.
        {"a \t b", true, "a b"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.Text);
        EXPECT_EQ(CleanOutputValue(r.Text, r.Squeeze), r.Expected);
    }
}

TEST(ExtractorFrame, FormatLocalDateFillsTheMaskAndTheRunDateDropsMinutes) {
    setenv("TZ", "UTC", 1);
    tzset();
    const std::time_t t = 1772359445; // 2026-03-01 10:04:05 UTC
    EXPECT_EQ(FormatLocalDate(t, "%yyyy/%mm/%dd %hh:%ii:%ss"), "2026/03/01 10:04:05");
    EXPECT_EQ(FormatLocalDate(t, "%yy%mm%dd"), "260301");
    EXPECT_EQ(FormatLocalDate(t, "100% %x"), "100% %x");
    RunDate_Take(t);
    EXPECT_EQ(RunDate(), "2026-03-01T10:00:00Z");
    EXPECT_EQ(RunTime(), t);
}

namespace {
// Everything WriteLine/WriteItem write while `fn` runs, decoded from UTF-16LE.
template <typename F> std::string CaptureOutput(F fn) {
    TempDir dir;
    const std::string path = dir.File("out");
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int saved = ExtractorOutputFd;
    ExtractorOutputFd = fd;
    fn();
    ExtractorOutputFd = saved;
    close(fd);
    const std::string raw = ReadFileOrEmpty(path);
    EXPECT_EQ(raw.size() % 2, 0u);
    return Utf16LEBytesToUtf8(raw);
}
} // namespace

TEST(ExtractorFrame, WriteLineWritesUtf16LittleEndianWithCrLf) {
    TempDir dir;
    const std::string path = dir.File("out");
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int saved = ExtractorOutputFd;
    ExtractorOutputFd = fd;
    EXPECT_TRUE(WriteLine(A("é€")));
    ExtractorOutputFd = saved;
    close(fd);
    EXPECT_EQ(ReadFileOrEmpty(path), std::string("\xE9\x00\xAC\x20\r\x00\n\x00", 8));
}

TEST(ExtractorFrame, WriteItemWritesTheSevenLinesInOrder) {
    setenv("TZ", "UTC", 1);
    tzset();
    RunDate_Take(1772359445);
    FeedItem item;
    item.AudioLink = "http://a/b.mp3";
    item.Description = A("Ligne 1\r\nLigne  2\tfin");
    item.GuID = "123";
    item.Link = "http://l/?a=1&b=2";
    item.PubDate = "2026-03-01T21:05:00Z";
    item.Title = A("Été  chaud");

    // The weather and ads programs: the run date, spaces kept.
    Writer_Configure({false, false});
    EXPECT_EQ(CaptureOutput([&] { WriteItem(item); }),
              "Orvalis\r\nAudioLink=http://a/b.mp3\r\nDescription=Ligne 1<br>Ligne  2fin\r\n"
              "GuID=123\r\nLink=http://l/?a=1&b=2\r\nPubDate=2026-03-01T10:00:00Z\r\n"
              "Title=Été  chaud\r\n");
    // The TV and video programs: the item's own date, spaces folded.
    Writer_Configure({true, true});
    const std::string out = CaptureOutput([&] { WriteItem(item); });
    EXPECT_NE(out.find("PubDate=2026-03-01T21:05:00Z\r\n"), std::string::npos);
    EXPECT_NE(out.find("Title=Été chaud\r\n"), std::string::npos);
    // Without a date of its own an item takes the current time to the minute.
    item.PubDate.clear();
    const std::string now = FormatLocalDate(std::time(nullptr), "%yyyy-%mm-%ddT%hh:");
    const std::string out2 = CaptureOutput([&] { WriteItem(item); });
    EXPECT_NE(out2.find("PubDate=" + now), std::string::npos) << out2;
    Writer_Configure({false, false});
}

TEST(ExtractorFrame, Crc32DecimalIsTheUnsignedStandardCrc) {
    EXPECT_EQ(Crc32Decimal("123456789"), "3421780262"); // the check value 0xCBF43926
    EXPECT_EQ(Crc32Decimal(""), "0");
}

TEST(ExtractorFrame, SiteLinkMakesPageLinksAbsolute) {
    EXPECT_EQ(SiteLink("https://s.example", "/a?b=1"), "https://s.example/a?b=1");
    EXPECT_EQ(SiteLink("https://s.example", "//cdn.example/x"), "https://cdn.example/x");
    EXPECT_EQ(SiteLink("https://s.example", "HTTP://o.example/"), "HTTP://o.example/");
    EXPECT_EQ(SiteLink("https://s.example", ""), "");
}

TEST(ExtractorFrame, ReadPageFileSniffsTheCharsetOfTheFirstThousandBytes) {
    struct Row {
        std::string Bytes;
        std::string Expected; // Windows-1252
    };
    const std::string pad(1000, ' ');
    const Row rows[] = {
        // No declaration: 8-bit as it is.
        {"<p>\xE9t\xE9</p>", "<p>\xE9t\xE9</p>"},
        // "utf-8" (any case): converted to the code page.
        {"<meta charset=UTF-8><p>\xC3\xA9t\xC3\xA9 \xE2\x82\xAC</p>",
         "<meta charset=UTF-8><p>\xE9t\xE9 \x80</p>"},
        // "utf8" too.
        {"<meta charset=utf8>\xC3\xA9", "<meta charset=utf8>\xE9"},
        // Both "iso-8859" and "utf-8": 8-bit.
        {"<meta charset=iso-8859-1><!-- utf-8 -->\xC3\xA9",
         "<meta charset=iso-8859-1><!-- utf-8 -->\xC3\xA9"},
        // Both, "utf-8" written first: still 8-bit.
        {"<!-- utf-8 --><meta charset=iso-8859-1>\xC3\xA9",
         "<!-- utf-8 --><meta charset=iso-8859-1>\xC3\xA9"},
        // A declaration beyond the first 1000 bytes is not seen.
        {pad + "<meta charset=utf-8>\xC3\xA9", pad + "<meta charset=utf-8>\xC3\xA9"},
        // Characters the code page lacks become "?".
        {"utf-8 \xE2\x86\x92", "utf-8 ?"},
        // Declared UTF-8 but not UTF-8: the bytes are kept, not lost.
        {"<meta charset=utf-8>\xE9t\xE9", "<meta charset=utf-8>\xE9t\xE9"},
        // "unicode" in an 8-bit page (no NUL byte) is not believed.
        {"<p>unicode \xE9</p>", "<p>unicode \xE9</p>"},
        // UTF-8 byte-order mark.
        {"\xEF\xBB\xBF<p>\xC3\xA9</p>", "<p>\xE9</p>"},
        // UTF-16LE with and without byte-order mark, UTF-16BE with one.
        {std::string("\xFF\xFE<\0\xE9\0\xAC\x20", 8), "<\xE9\x80"},
        {std::string("<\0p\0>\0\xE9\0", 8), "<p>\xE9"},
        {std::string("\xFE\xFF\0<\0\xE9", 6), "<\xE9"},
    };
    TempDir dir;
    int n = 0;
    for (const Row& r : rows) {
        SCOPED_TRACE(n);
        const std::string path = dir.File("page" + std::to_string(n++) + ".htm");
        WriteFileOrDie(path, r.Bytes);
        std::string text;
        ASSERT_TRUE(ReadPageFile(path, text));
        EXPECT_EQ(text, r.Expected);
    }
}

TEST(ExtractorFrame, ReadPageFileFailsOnAMissingEmptyOrFolderPath) {
    TempDir dir;
    std::string text = "left over";
    EXPECT_FALSE(ReadPageFile("", text));
    EXPECT_FALSE(ReadPageFile(dir.File("absent"), text));
    EXPECT_FALSE(ReadPageFile(dir.Path(), text));
    EXPECT_EQ(text, "");
    // An empty file is a page without items, not a failure.
    WriteFileOrDie(dir.File("empty"), "");
    EXPECT_TRUE(ReadPageFile(dir.File("empty"), text));
}

TEST(ExtractorFrame, SniffPageFormatTriesIsoThenUtf8ThenUtf16ThenTheDefault) {
    EXPECT_EQ(SniffPageFormat("x", PageAnsi), PageAnsi);
    EXPECT_EQ(SniffPageFormat("x", PageUtf8), PageUtf8);
    EXPECT_EQ(SniffPageFormat("UTF-16 then utf-8", PageAnsi), PageUtf8);
    EXPECT_EQ(SniffPageFormat("utf-8 then iso-8859-1", PageUtf8), PageAnsi);
    EXPECT_EQ(SniffPageFormat("charset=Unicode", PageAnsi), PageUtf16);
    EXPECT_EQ(SniffPageFormat("ISO-8859-15 utf8", PageUtf8), PageAnsi);
}

namespace {
int g_parsed = 0;
int g_settings = 0;
std::string g_url;
void CountParse(HtmlPage& page, const std::string& url) {
    ++g_parsed;
    g_url = url;
}
int CountSettings(const ExtractorProgram&) {
    ++g_settings;
    return 0;
}
int RunMain(std::vector<std::string> args) {
    static const ExtractorProgram program = {"OV-Test", "Texte", Settings_None, "",
                                             false,     false,   &CountParse,   &CountSettings};
    std::vector<char*> argv;
    std::string name = "OV-Test.exe";
    argv.push_back(name.data());
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    return ExtractorMain(static_cast<int>(args.size() + 1), argv.data(), program);
}
} // namespace

TEST(ExtractorFrame, ExtractorMainTakesOpenGuiInAnyCaseAndOtherwiseAPageFile) {
    TempDir dir;
    g_parsed = g_settings = 0;
    for (const char* arg : {"OpenGUI", "opengui", "OPENGUI"})
        EXPECT_EQ(RunMain({arg}), 0) << arg;
    EXPECT_EQ(g_settings, 3);
    EXPECT_EQ(g_parsed, 0);
    // Anything else is the page file.
    EXPECT_EQ(RunMain({"open-gui"}), 2);
    EXPECT_EQ(RunMain({}), 2);
    EXPECT_EQ(g_parsed, 0);
    WriteFileOrDie(dir.File("page.htm"), "<body></body>");
    EXPECT_EQ(RunMain({dir.File("page.htm"), "https://example.org/?q=caf\xC3\xA9"}), 0);
    EXPECT_EQ(g_parsed, 1);
    EXPECT_EQ(g_url, "https://example.org/?q=caf\xE9"); // the address in the code page too
    EXPECT_EQ(g_settings, 3);
}
