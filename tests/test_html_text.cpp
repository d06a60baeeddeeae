// The HTML-to-text converter: every tag of its table, comments, scripts, the switches,
// the tag scanner's own functions, non-ASCII pages and the html2text command.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "article/core/ExtractHTMLText.h"
#include "platform/core/Hash.h"
#include "platform/core/Text.h"
#include "support/TestSupport.h"

namespace {

enum Switch { Links = 1, DefLists = 2, Images = 4, Lists = 8, Tables = 16, Wait = 32 };

// Converts with the default switches, less those in `off`, plus WaitForText when asked.
std::string Convert(const std::string& html, int off = 0, bool wait = false) {
    HtmlTextState st;
    HtmlText_Init(st, html);
    if (off & Links) st.KeepLinks = 0;
    if (off & DefLists) st.KeepDefinitionLists = 0;
    if (off & Images) st.KeepImages = 0;
    if (off & Lists) st.KeepLists = 0;
    if (off & Tables) st.KeepTables = 0;
    if (wait) st.WaitForText = 1;
    HtmlText_Convert(st);
    return st.Result;
}

struct Row {
    const char* Html;
    int Off;
    bool Wait;
    const char* Text;
};

class ConverterRow : public testing::TestWithParam<Row> {};

TEST_P(ConverterRow, GivesTheTextTheTableCallsFor) {
    const Row& r = GetParam();
    EXPECT_EQ(Convert(r.Html, r.Off, r.Wait), r.Text) << "page: " << r.Html;
}

const Row kTagRows[] = {
    // "/body" ends the page; text before "body" is not read
    {"<title>T</title><body>x</body>after", 0, false, "x"},
    // without a "body" tag the page is read from its first character
    {"a<b>b</b>", 0, false, "ab"},
    // "tbody" is not "body"
    {"x<table><tbody><tr><td>c</td></tr></tbody></table>", 0, false, "x\nc; \n"},
    // a link keeps its text ...
    {"x <a href=u>lien</a> y", 0, false, "x lien y"},
    // ... or is dropped whole when links are off
    {"x <a href=u>lien</a> y", Links, false, "x y"},
    // 'a' does not match 'abbr' when the link's end is looked for
    {"<a>x<abbr>y</abbr></a>z", Links, false, "z"},
    // a namespaced tag acts as its prefix; the element is skipped by its full name
    {"<a:link>x</a:link>y</a>z", Links, false, "yz"},
    {"<st1:place>Paris</st1:place>", 0, false, "Paris"},
    {"<p:x>a", 0, false, "a"},
    // inline tags write nothing
    {"<blockquote><em>1</em><i>2</i><pre>3</pre><stricked>4</stricked><del>5</del>"
     "<strong>6</strong><b>7</b><u>8</u></blockquote>",
     0, false, "12345678"},
    // "br" in every spelling
    {"a<br>b<br/>c<BR />d<br clear=all>e", 0, false, "a\nb\nc\nd\ne"},
    // div
    {"<div>a</div><div>b</div>", 0, false, "a\nb\n"},
    // definition list: 'term = definition' on its own line
    {"<dl><dt>Prix</dt><dd>10</dd></dl>", 0, false, "Prix = 10\n"},
    {"a<dl><dt>x</dt><dd>y</dd></dl>b", DefLists, false, "ab"},
    // "/dl" writes only when definition lists are kept
    {"a</dl>b", 0, false, "a\nb"},
    {"a</dl>b", DefLists, false, "ab"},
    // headings h1 to h6
    {"<h1>A</h1>x", 0, false, "A\nx"},
    {"<h2>A</h2><h3>B</h3><h4>C</h4><h5>D</h5><h6>E</h6>", 0, false, "A\nB\nC\nD\nE\n"},
    // "h7" is no heading
    {"<h7>A</h7>x", 0, false, "Ax"},
    // images: alt, else title, trimmed, with the author's case
    {"a<img src=x alt=logo>b", 0, false, "a (Image= logo) b"},
    {"<img src=x alt=logo>", 0, false, "(Image= logo)"},
    {"a<IMG ALT='  Mon Logo  ' SRC=x>b", 0, false, "a (Image= Mon Logo) b"},
    {"a<img src=x title=\"Le titre\">b", 0, false, "a (Image= Le titre) b"},
    {"a<img src=x alt=\"\">b", 0, false, "ab"},
    {"a<img src=x alt=\"\" title=T>b", 0, false, "a (Image= T) b"},
    {"a<img alt=logo>b", Images, false, "ab"},
    // an unquoted value ends at a space or at the tag's end
    {"<img alt=logo src=x>", 0, false, "(Image= logo)"},
    // lists
    {"<ul><li>un</li><li>deux</li></ul>", 0, false, "un\ndeux\n"},
    {"<ol><li>un</li><li>deux</li></ol>", 0, false, "un\ndeux\n"},
    {"a<ul><li>x</li></ul>b", Lists, false, "ab"},
    {"a<ol><li>x</li></ol>b", Lists, false, "ab"},
    // a skipped list ends at its first closing tag: the rest of a nested one stays
    {"<ul><li>a<ul><li>b</li></ul>c</li></ul>d", Lists, false, "c\nd"},
    // paragraphs: no empty line between them, the final line feed stays
    {"<p>Un</p><p>Deux</p>", 0, false, "Un\nDeux\n"},
    {"<P CLASS=x>Un</P>", 0, false, "Un\n"},
    // span writes nothing
    {"a<span>b</span>c", 0, false, "abc"},
    // script, noscript and style are dropped whole
    {"a<script>var s = '<p>x</p>';</script>b", 0, false, "ab"},
    {"a<noscript>n</noscript>b<style>p{}</style>c", 0, false, "abc"},
    {"a<SCRIPT type=x>s</SCRIPT>b", 0, false, "ab"},
    // an element to skip without its closing tag is not skipped
    {"a<script>b", 0, false, "ab"},
    // tables: 'cell; cell; ' on its own line
    {"<table><tr><td>a</td><td>b</td></tr></table>", 0, false, "a; b; \n"},
    {"<table><tr><th>h</th></tr><tr><td>c</td></tr></table>", 0, false, "h; \nc; \n"},
    {"a<table><tr><td>x</td></tr></table>b", Tables, false, "ab"},
    // a skipped table ends at its first "/table"; "/table" writes nothing then
    {"<table><tr><td><table><tr><td>in</td></tr></table>out</td></tr></table>end", Tables, false,
     "out; end"},
    // unknown tags are dropped, their content kept
    {"<abbr title=x>ABC</abbr> <font color=red>D</font>", 0, false, "ABC D"},
    {"<!DOCTYPE html>x", 0, false, "x"},
    // comments, nested
    {"a<!-- x -->b", 0, false, "ab"},
    {"a<!-- a <!-- b --> c -->z", 0, false, "az"},
    {"a<!-- <p>not text</p> -->b", 0, false, "ab"},
    // "<!-->" is an empty comment: it opens nothing
    {"a<!-->b-->c", 0, false, "ab-->c"},
    {"a<!-- x <!--> y -->z", 0, false, "a y -->z"},
    // a tag ending in "--" counts as a comment
    {"a<x-->b", 0, false, "ab"},
    // an unclosed comment ends the scan: the rest of the page stays as written
    {"a<p>b<!-- c <p>d&amp;", 0, false, "a\nb<!-- c <p>d&"},
    // CDATA sections are dropped
    {"a<![CDATA[ x > y ]]>b", 0, false, "ab"},
    {"a<![CDATA[x]]>b<![CDATA[y]]>c", 0, false, "abc"},
    // "<" followed by a space is text; an unbalanced "<" is text
    {"x < b >y", 0, false, "x < b >y"},
    {"a <b c", 0, false, "a <b c"},
    {"1<2 et <b>3</b>", 0, false, "1<2 et 3"},
    // a nested pair of angle brackets is passed over as a whole
    {"a<b <c> d>e", 0, false, "ae"},
    // quotes do not protect a ">"
    {"<a title='x>y'>z", 0, false, "y'>z"},
    // references are decoded only at the end, in the whole text
    {"<p>&lt;p&gt; &amp;amp; &#233;</p>", 0, false, "<p> &amp; é\n"},
    // line breaks of the page are spaces; only the tags write line breaks
    {"a\r\nb\tc\n\nd", 0, false, "a b c d"},
    // control characters are removed
    {"a\x01\x02\x1F"
     "b",
     0, false, "ab"},
};

INSTANTIATE_TEST_SUITE_P(EveryTag, ConverterRow, testing::ValuesIn(kTagRows));

const Row kWaitRows[] = {
    // a navigation list before the text disappears with its items
    {"<ul><li>nav</li></ul><h1>T</h1><ul><li>x</li></ul>", 0, true, "T\nx\n"},
    // so do links, images and definition lists
    {"<a>lien</a><img alt=i><dl><dt>d</dt></dl><p>T</p><a>lien</a>", 0, true, "T\nlien"},
    // a table stays in both places
    {"<table><tr><td>a</td></tr></table><p>T</p>", 0, true, "a; \nT\n"},
    // "span" begins the text too
    {"<ol><li>n</li></ol><span>s</span><ol><li>x</li></ol>", 0, true, "s\nx\n"},
    // a "/dl" before the text writes nothing
    {"a</dl>b", 0, true, "ab"},
    // "/ul" and "/ol" always write their line feed
    {"a</ul>b</ol>c", 0, true, "a\nb\nc"},
};

INSTANTIATE_TEST_SUITE_P(WaitForText, ConverterRow, testing::ValuesIn(kWaitRows));

TEST(HtmlTextInit, SetsTheDefaultStringsAndSwitches) {
    HtmlTextState st;
    HtmlText_Init(st, "<P>x");
    EXPECT_EQ(st.DdOpen, " = ");
    EXPECT_EQ(st.CellClose, "; ");
    EXPECT_EQ(st.DtClose, "");
    EXPECT_EQ(st.H6Close, "\n");
    EXPECT_EQ(st.KeepLinks, 1);
    EXPECT_EQ(st.KeepTables, 1);
    EXPECT_EQ(st.WaitForText, 0);
    EXPECT_EQ(st.TextLength, 4);
    EXPECT_EQ(st.LowerText, U"<p>x");
}

TEST(HtmlTextInit, BlanksTheEmptyCommentOnlyInTheLowerCaseCopy) {
    HtmlTextState st;
    HtmlText_Init(st, "A<!-->B");
    EXPECT_EQ(st.Text, U"A<!-->B");
    EXPECT_EQ(st.LowerText, U"a     b");
}

TEST(HtmlTextInit, ReadsInvalidBytesAsTheSharedDecoderDoes) {
    const std::string page = "\xE2"
                             "A\xFF\xC3<B>\xF0\x9F\x98\x80\xED\xA0\x80";
    HtmlTextState fromBytes;
    HtmlText_Init(fromBytes, page);
    HtmlTextState fromChars;
    fromChars.Text = Utf8ToUtf32(page);
    HtmlText_Init(fromChars);
    EXPECT_EQ(fromBytes.Text, fromChars.Text);
    EXPECT_EQ(fromBytes.LowerText, fromChars.LowerText);
    EXPECT_EQ(fromBytes.Text.substr(0, 2), U"\uFFFDA");
}

TEST(HtmlTextConvert, UsesTheCallersStrings) {
    HtmlTextState st;
    HtmlText_Init(st, "<ul><li>a</li><li>b</li></ul><table><tr><td>1</td><td>2</td></tr></table>");
    st.LiOpen = "\n- ";
    st.CellClose = " | ";
    HtmlText_Convert(st);
    EXPECT_EQ(st.Result, "- a\n- b\n1 | 2 | \n");
}

TEST(HtmlTextConvert, ReportsProgressUpToTheEnd) {
    HtmlTextState st;
    std::string page;
    for (int i = 0; i < 100; ++i)
        page += "<p>paragraphe</p>";
    HtmlText_Init(st, page);
    std::vector<int> seen;
    HtmlText_Convert(st, [&](int p) { seen.push_back(p); });
    ASSERT_FALSE(seen.empty());
    for (size_t i = 1; i < seen.size(); ++i)
        EXPECT_LE(seen[i - 1], seen[i]);
    EXPECT_EQ(seen.back(), 100);
}

TEST(HtmlTextConvert, StaysLinearOnAPageFullOfUnbalancedLessThanSigns) {
    std::string page;
    for (int i = 0; i < 20000; ++i)
        page += "a<b <p>x</p> ";
    const std::string out = Convert(page);
    EXPECT_EQ(out.substr(0, 9), "a<b \nx\na<");
}

TEST(HtmlTextNextTag, FindsTagsCommentsAndNames) {
    HtmlTextState st;
    HtmlText_Init(st, "x < y <IMG Src=a /><!-- c --><br/>");
    int32_t next = HtmlText_NextTag(st, 1);
    EXPECT_EQ(st.TagStart, 7);
    EXPECT_EQ(st.TagEnd, 19);
    EXPECT_EQ(st.TagText, U"IMG Src=a /");
    EXPECT_EQ(st.TagName, U"img");
    EXPECT_EQ(next, 20);
    next = HtmlText_NextTag(st, next);
    EXPECT_EQ(st.TagName, U"!--");
    EXPECT_EQ(st.TagText, U"!-- c --");
    next = HtmlText_NextTag(st, next);
    EXPECT_EQ(st.TagName, U"br");
    EXPECT_EQ(HtmlText_NextTag(st, next), 0);
}

TEST(HtmlTextNextTag, CountsCharactersNotBytes) {
    HtmlTextState st;
    HtmlText_Init(st, "日本語<b>");
    EXPECT_EQ(HtmlText_NextTag(st, 1), 7);
    EXPECT_EQ(st.TagStart, 4);
}

TEST(HtmlTextFindTag, MatchesTheWholeNameInAnyCase) {
    HtmlTextState st;
    HtmlText_Init(st, "<abbr>x</abbr><A href=u>y</A>");
    EXPECT_EQ(HtmlText_FindTag(st, "a", 1), 25);
    EXPECT_EQ(st.TagStart, 15);
    EXPECT_EQ(st.TagText, U"A href=u");
    EXPECT_EQ(HtmlText_FindTag(st, "/A", 1), 30);
    EXPECT_EQ(HtmlText_FindTag(st, "b", 1), 0);
}

TEST(HtmlTextGetAttribute, ReadsQuotedAndUnquotedValuesWithinTheirBounds) {
    const std::u32string s = U"<img alt=\"a b\" title='t' src=x>";
    const int32_t to = static_cast<int32_t>(s.size());
    EXPECT_EQ(HtmlText_GetAttribute(s, U"alt", 1, to), U"a b");
    EXPECT_EQ(HtmlText_GetAttribute(s, U"title", 1, to), U"t");
    EXPECT_EQ(HtmlText_GetAttribute(s, U"src", 1, to), U"x");
    EXPECT_EQ(HtmlText_GetAttribute(s, U"href", 1, to), U"");
    // found at or after `to`: nothing
    EXPECT_EQ(HtmlText_GetAttribute(s, U"src", 1, 20), U"");
    // an unclosed quote ends at `to`
    EXPECT_EQ(HtmlText_GetAttribute(U"<a alt='xyz>", U"alt", 1, 12), U"xyz");
}

TEST(HtmlTextGetAttribute, FindsTheNameInAnyCaseAndKeepsTheValuesCase) {
    HtmlTextState st;
    HtmlText_Init(st, "é<A HREF='Http://X.org/Été'>");
    EXPECT_EQ(HtmlText_GetAttribute(st, "href", st.TagStart, 0), "");
    HtmlText_NextTag(st, 1);
    EXPECT_EQ(HtmlText_GetAttribute(st, "href", st.TagStart, st.TagEnd), "Http://X.org/Été");
}

TEST(HtmlTextExtractFlags, ApplyOnlyWithTheEnableBit) {
    HtmlTextState st;
    HtmlText_Init(st, "");
    HtmlText_ApplyExtractFlags(st, 0x1F000);
    EXPECT_EQ(st.KeepLinks, 1);
    EXPECT_EQ(st.WaitForText, 0);
    HtmlText_ApplyExtractFlags(st, 0x20000 | 0x8000 | 0x10000);
    EXPECT_EQ(st.KeepLinks, 0);
    EXPECT_EQ(st.KeepImages, 0x8000);
    EXPECT_EQ(st.KeepLists, 0);
    EXPECT_EQ(st.KeepDefinitionLists, 0);
    EXPECT_EQ(st.KeepTables, 0);
    EXPECT_EQ(st.WaitForText, 0x10000);
}

std::string Fixture(const std::string& name) {
    return TestData("html/" + name);
}

// Both ways of holding the page: UTF-8 for a conversion alone, characters for the scanner.
std::string ConvertPage(const std::string& html, uint32_t flags) {
    HtmlTextState st;
    HtmlText_InitPage(st, html);
    HtmlText_ApplyExtractFlags(st, flags);
    HtmlText_Convert(st);
    EXPECT_TRUE(st.Page.empty()) << "the page is released by the conversion";
    return st.Result;
}
std::string ConvertChars(const std::string& html, uint32_t flags) {
    HtmlTextState st;
    HtmlText_Init(st, html);
    HtmlText_ApplyExtractFlags(st, flags);
    HtmlText_Convert(st);
    return st.Result;
}

// Where a walk over bytes could part from a walk over characters: non-ASCII tag names
// lower-cased, letters whose lower case is not ASCII, the blanked empty comment, invalid
// bytes, the reach of numeric references over non-ASCII characters. The texts are those
// of the character-by-character model.
TEST(HtmlTextConvert, BytesAndCharactersGiveTheSameTextOnNonAsciiQuirks) {
    const std::pair<const char*, const char*> rows[] = {
        {"<p>a</p><script:\xC3\x89>x<p>y</p></SCRIPT:\xC3\xA9>b", "a\nb"},
        {"<P>\xC3\x89t\xC3\xA9</P><IMG ALT=\"\xC3\x9Cn\xC3\xAF\x63ode\" SRC=x>"
         "<img T\xC4\xB0TLE=t alt=''>",
         "\xC3\x89t\xC3\xA9\n(Image= \xC3\x9Cn\xC3\xAF\x63ode)"},
        {"<p>x</p><img \xC3\x81LT=v src=y>z", "x\nz"},
        {"<div>a<!-->b<a <!--> href=x>c</a></div>", "abc\n"},
        {"<p>q<!-- a <!--> b --> r", "q b --> r"},
        {"<SCR\xC4\xB0PT>s</SCR\xC4\xB0PT><p>t</p>", "s\nt\n"},
        {"<p>\xC3\xA9<![CDATA[ <p>k</p> ]]>m</p>", "\xC3\xA9m\n"},
        {"<ul><li>\xD0\x96</li></ul><p>&#1046;&eacute;&#x416;</p>",
         "\xD0\x96\n\xD0\x96\xC3\xA9\xD0\x96\n"},
        {"<p>&#\xC3\xA9;&#65\xC3\xA9;&#1&#65;\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9&#66;</p>",
         "&#\xC3\xA9;A&#1A\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9"
         "B\n"},
        {"<p>a\xFF\xFE"
         "b</p>\xC3<b>\xE2\x82</b>&#65;\xC3\xA9&eacute;\xED\xA0\x80",
         "a\xEF\xBF\xBD\xEF\xBF\xBD"
         "b\n\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"
         "A\xC3\xA9\xC3\xA9"
         "\xEF\xBF\xBD"},
    };
    for (const auto& [html, want] : rows) {
        EXPECT_EQ(ConvertPage(html, 0), want) << html;
        EXPECT_EQ(ConvertChars(html, 0), want) << html;
    }
}

// Saved real pages (tests/data/html/real-pages): each converts, in the tool and in the
// program, to the text recorded for it (its MD5), with the default switches and with
// every filtering bit on.
TEST(Html2TextCommand, ConvertsEveryRealPageToItsRecordedText) {
    const std::string dir = Fixture("real-pages");
    std::istringstream manifest(ReadFileOrEmpty(dir + "/expected-md5.txt"));
    std::string line;
    int checked = 0;
    while (std::getline(manifest, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string file, flags, md5;
        fields >> file >> flags >> md5;
        const std::string path = dir + "/" + file;
        std::vector<std::string> args = {"html2text", path};
        if (flags != "-") args.push_back(flags);
        const ProcessResult r = RunTool(args);
        EXPECT_EQ(r.ExitCode, 0) << file << " " << r.Err;
        EXPECT_EQ(Md5Hex(r.Out), md5) << file << " " << flags;
        const uint32_t bits =
            flags == "-" ? 0 : static_cast<uint32_t>(std::stoul(flags, nullptr, 0));
        const std::string page = ReadFileOrEmpty(path);
        EXPECT_EQ(ConvertPage(page, bits), r.Out) << file;
        EXPECT_EQ(ConvertChars(page, bits), r.Out) << file;
        ++checked;
    }
    EXPECT_GE(checked, 64);
}

TEST(Html2TextCommand, HandsEveryOtherCommandToTheFullTool) {
    const ProcessResult help = RunTool({"help"});
    EXPECT_EQ(help.ExitCode, 0);
    EXPECT_NE(help.Out.find("parse FILE"), std::string::npos);
    EXPECT_NE(help.Out.find("html2text FILE [FLAGS]"), std::string::npos);
    const ProcessResult date = RunTool({"date", "Mon, 02 Mar 2026 10:00:00 GMT"});
    EXPECT_EQ(date.ExitCode, 0) << date.Err;
    EXPECT_NE(date.Out.find("2026/03/02 10:00"), std::string::npos);
    EXPECT_EQ(RunTool({"no-such-command"}).ExitCode, 2);
    EXPECT_EQ(RunTool({"--version"}).Out, "Orvalis " ORVALIS_VERSION "\n");
}

TEST(Html2TextCommand, PrintsTheArticleWithTheDefaultSwitches) {
    const ProcessResult r =
        RunTool({"html2text", Fixture("article_with_navigation_and_footer.html")});
    EXPECT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_EQ(r.Out, ReadFileOrEmpty(Fixture("article_with_navigation_and_footer.default.txt")));
}

TEST(Html2TextCommand, AppliesTheFeedsFilteringBits) {
    // enable + wait for text + lists + tables; no links, no images
    const ProcessResult r =
        RunTool({"html2text", Fixture("article_with_navigation_and_footer.html"), "221184"});
    EXPECT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_EQ(r.Out, ReadFileOrEmpty(Fixture("article_with_navigation_and_footer.filtered.txt")));
    const ProcessResult hex =
        RunTool({"html2text", Fixture("article_with_navigation_and_footer.html"), "0x36000"});
    EXPECT_EQ(hex.Out, r.Out);
}

TEST(Html2TextCommand, IgnoresTheFilteringBitsWithoutTheEnableBit) {
    const ProcessResult r =
        RunTool({"html2text", Fixture("article_with_navigation_and_footer.html"), "0x16000"});
    EXPECT_EQ(r.Out, ReadFileOrEmpty(Fixture("article_with_navigation_and_footer.default.txt")));
}

TEST(Html2TextCommand, ConvertsANonAsciiPageByCharacters) {
    const ProcessResult r =
        RunTool({"html2text", Fixture("non_ascii_page_counts_characters.html")});
    EXPECT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_EQ(r.Out, ReadFileOrEmpty(Fixture("non_ascii_page_counts_characters.txt")));
}

TEST(Html2TextCommand, SkipsAByteOrderMark) {
    TempDir dir;
    WriteFileOrDie(dir.File("bom.html"), "\xEF\xBB\xBF<p>Été</p>");
    EXPECT_EQ(RunTool({"html2text", dir.File("bom.html")}).Out, "Été\n");
}

TEST(Html2TextCommand, RejectsAMissingFileAndBadFlags) {
    TempDir dir;
    const ProcessResult missing = RunTool({"html2text", dir.File("none.html")});
    EXPECT_NE(missing.ExitCode, 0);
    EXPECT_NE(missing.Err.find("none.html"), std::string::npos);
    EXPECT_TRUE(missing.Out.empty());
    WriteFileOrDie(dir.File("p.html"), "<p>x</p>");
    const ProcessResult bad = RunTool({"html2text", dir.File("p.html"), "lots"});
    EXPECT_EQ(bad.ExitCode, 2);
    EXPECT_TRUE(bad.Out.empty());
}

} // namespace
