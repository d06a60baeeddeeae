// Character references, tag stripping, line-break tags, quotes and line cleaning: the small
// HTML text functions that the feed readers use on their own.
#include <gtest/gtest.h>

#include "article/core/ExtractHTMLText.h"
#include "article/core/HtmlEntities.h"
#include "platform/core/Text.h"

namespace {

struct Row {
    const char* In;
    const char* Out;
};

class DecodeHtmlEntitiesRow : public testing::TestWithParam<Row> {};

TEST_P(DecodeHtmlEntitiesRow, GivesTheExpectedText) {
    EXPECT_EQ(DecodeHtmlEntities(GetParam().In), GetParam().Out) << "input: " << GetParam().In;
}

const Row kEntityRows[] = {
    // the three markup references, in any case
    {"&quot;&lt;&gt;", "\"<>"},
    {"&QUOT;&Lt;&GT;", "\"<>"},
    // "&amp;" goes last: a doubly escaped reference ends as written once
    {"&amp;lt;", "&lt;"},
    {"&AMP;", "&"},
    {"&amp;", "&"},
    // ... but numeric references come after it, so an escaped one is decoded
    {"&amp;#65;", "A"},
    // Windows-1252 names give their real characters through the 0x80-0x9F range
    {"&euro;&sbquo;&fnof;&bdquo;&hellip;", "€‚ƒ„…"},
    {"&Dagger;&dagger;&circ;&permil;&Scaron;&lsaquo;&OElig;", "‡†ˆ‰Š‹Œ"},
    {"&lsquo;&rsquo;&ldquo;&rdquo;&bull;&ndash;&mdash;", "‘’“”•–—"},
    {"&tilde;&trade;&scaron;&rsaquo;&oelig;&Yuml;", "˜™š›œŸ"},
    // names without a case twin ignore case
    {"&EURO;&Hellip;&MDASH;", "€…—"},
    // names with a case twin match exactly only
    {"&DAGGER;&SCARON;&OELIG;&YUML;", "&DAGGER;&SCARON;&OELIG;&YUML;"},
    // "&nbsp;" and "&thinsp;" are ordinary spaces
    {"a&nbsp;b&NBSP;c&thinsp;d", "a b c d"},
    // Latin-1 names in code order
    {"&iexcl;&cent;&pound;&curren;&yen;&brvbar;&sect;&uml;&copy;&ordf;&laquo;&not;",
     "¡¢£¤¥¦§¨©ª«¬"},
    {"&reg;&deg;&plusmn;&sup2;&sup3;&acute;&micro;&para;&middot;&cedil;&sup1;&ordm;",
     "®°±²³´µ¶·¸¹º"},
    {"&raquo;&frac14;&frac12;&frac34;&iquest;", "»¼½¾¿"},
    {"&Agrave;&Aacute;&Acirc;&Atilde;&Auml;&Aring;&AElig;&Ccedil;&Egrave;&Eacute;&Ecirc;&Euml;",
     "ÀÁÂÃÄÅÆÇÈÉÊË"},
    {"&Igrave;&Iacute;&Icirc;&Iuml;&ETH;&Ntilde;&Ograve;&Oacute;&Ocirc;&Otilde;&Ouml;&times;",
     "ÌÍÎÏÐÑÒÓÔÕÖ×"},
    {"&Oslash;&Ugrave;&Uacute;&Ucirc;&Uuml;&Yacute;&THORN;&szlig;", "ØÙÚÛÜÝÞß"},
    {"&agrave;&aacute;&acirc;&atilde;&auml;&aring;&aelig;&ccedil;&egrave;&eacute;&ecirc;&euml;",
     "àáâãäåæçèéêë"},
    {"&igrave;&iacute;&icirc;&iuml;&eth;&ntilde;&ograve;&oacute;&ocirc;&otilde;&ouml;&divide;",
     "ìíîïðñòóôõö÷"},
    {"&oslash;&ugrave;&uacute;&ucirc;&uuml;&yacute;&thorn;&yuml;", "øùúûüýþÿ"},
    // the capital form is exact; the all-capitals spelling is no name
    {"&Eacute; &eacute; &EACUTE;", "É é &EACUTE;"},
    {"&Agrave;&agrave;", "Àà"},
    // "&TIMES;" has no twin: any case
    {"&TIMES;&Divide;", "×÷"},
    // the macron only as "&hibar;"; its standard name stays
    {"&hibar;&HIBAR;&macr;", "¯¯&macr;"},
    // the soft hyphen is a real character
    {"&shy;", "\u00AD"},
    // primes: exact twins
    {"&prime;&Prime;&PRIME;", "′″&PRIME;"},
    // unknown names and lone ampersands stay
    {"&bogus; & ; &; &frac15;", "&bogus; & ; &; &frac15;"},
    // numeric references, decimal and hexadecimal
    {"&#65;&#x41;&#X41;", "AAA"},
    {"&#233;&#xE9;&#8364;", "éé€"},
    // below 32: left as written
    {"&#10;&#9;&#31;&#32;", "&#10;&#9;&#31; "},
    // the ";" must stand fewer than 10 characters after the "&"
    {"&#0000065;", "A"},
    {"&#00000065;", "&#00000065;"},
    // leading spaces and one sign are allowed; reading stops at the first non-digit
    {"&# 66;&#+67;&#65a;", "BCA"},
    {"&#-65;&#x;&#;&#abc;", "&#-65;&#x;&#;&#abc;"},
    // no ";" at all
    {"&#65 and more", "&#65 and more"},
    // Windows-1252 numbers become their real characters, as raw ones do
    {"&#150;&#128;&#146;", "–€’"},
    {"\xC2\x96", "–"},
    // the five undefined Windows-1252 values stay
    {"&#129;&#141;&#143;&#144;&#157;", "\u0081\u008D\u008F\u0090\u009D"},
    // beyond the basic plane: real characters
    {"&#128512;&#x1F600;", "😀😀"},
    // no character at all: left as written
    {"&#xD800;&#x110000;", "&#xD800;&#x110000;"},
    // the 10-character rule counts characters, not bytes
    {"&#65日本語;", "A"},
    {"&#65日本語五六;", "A"},
    {"&#65日本語五六七;x", "&#65日本語五六七;x"},
    // a decoded "&" followed by "#" forms a reference that the scan has already passed,
    // but a later identical reference replaces it too
    {"&#38;#65; &#65;", "A A"},
    {"&#38;#66;", "&#66;"},
    // a reference left as written is untouched by later ones
    {"&#1&#65;", "&#1A"},
    // the whole written form is replaced everywhere at once
    {"x&#65&#66;", "xA"},
    {"&#66; &#65&#66;", "B &#65B"},
};

INSTANTIATE_TEST_SUITE_P(EveryQuirk, DecodeHtmlEntitiesRow, testing::ValuesIn(kEntityRows));

TEST(DecodeHtmlEntities, LeavesTextWithoutReferencesAsItIs) {
    EXPECT_EQ(DecodeHtmlEntities(""), "");
    EXPECT_EQ(DecodeHtmlEntities("Ελληνικά 日本"), "Ελληνικά 日本");
}

TEST(DecodeHtmlEntities, DecodesManyDistinctReferencesOnALargeText) {
    std::string in, want;
    for (int c = 0x4E00; c < 0x4E00 + 20000; ++c) {
        in += "&#" + std::to_string(c) + ";";
        char32_t ch = static_cast<char32_t>(c);
        want += Utf32ToUtf8(std::u32string(1, ch));
    }
    EXPECT_EQ(DecodeHtmlEntities(in), want);
}

TEST(FixCp1252Controls, MapsTheWholeRangeAndKeepsTheUndefined) {
    EXPECT_EQ(FixCp1252Controls("\u0080\u0082\u0098\u0099\u009E\u009F"), "€‚˜™žŸ");
    EXPECT_EQ(FixCp1252Controls("\u0081\u008D\u008F\u0090\u009D"),
              "\u0081\u008D\u008F\u0090\u009D");
    EXPECT_EQ(FixCp1252Controls("é\u00A0x"), "é\u00A0x");
}

TEST(RemoveHtmlTags, RemovesNestedTags) {
    EXPECT_EQ(RemoveHtmlTags("<b><i>x</i></b>"), "x");
}

TEST(RemoveHtmlTags, PassesOverANestedPairOfAngleBrackets) {
    EXPECT_EQ(RemoveHtmlTags("a<b <c> d>e"), "ae");
}

TEST(RemoveHtmlTags, KeepsAnUnbalancedLessThanAsText) {
    EXPECT_EQ(RemoveHtmlTags("a < b"), "a < b");
    EXPECT_EQ(RemoveHtmlTags("1<2 <b>x</b>"), "1<2 x");
    EXPECT_EQ(RemoveHtmlTags("x > y <"), "x > y <");
}

TEST(RemoveHtmlTags, KeepsNonAsciiText) {
    EXPECT_EQ(RemoveHtmlTags("<p>Été</p>日本"), "Été日本");
}

TEST(ReplaceHtmlBreaks, ReplacesTheFourSpellingsInAnyCase) {
    EXPECT_EQ(ReplaceHtmlBreaks("a<br>b<BR >c<Br/>d<bR />e<br  />f", "|"), "a|b|c|d|e<br  />f");
}

// Decoding runs before stripping, so an escaped "<4>" is removed as a tag.
TEST(ReplaceHtmlBreaks, ThenDecodeThenRemoveGivesThePlainDescription) {
    const std::string html = "<p>Un&nbsp;<b>deux</b></p><br/>trois &lt;4&gt;";
    EXPECT_EQ(RemoveHtmlTags(DecodeHtmlEntities(ReplaceHtmlBreaks(html, "\n"))), "Un deux\ntrois ");
}

TEST(PlainQuotes, TurnsTypographicQuotesAndNoBreakSpaces) {
    EXPECT_EQ(PlainQuotes("\u0091a\u0092 \u0093b\u0094\u00A0\u2018c\u2019 \u201Cd\u201D é"),
              "'a' \"b\" 'c' \"d\" é");
}

TEST(CleanLines, RemovesASpaceAfterALineFeedButNotBefore) {
    EXPECT_EQ(HtmlText_CleanLines("  a \r\n\r\n  b  "), "a \nb");
}

TEST(CleanLines, LeavesNoEmptyLineAndKeepsTheFinalLineFeed) {
    EXPECT_EQ(HtmlText_CleanLines("\n\n\tx\t\t y\n\n\n z\n"), "x y\nz\n");
    EXPECT_EQ(HtmlText_CleanLines("\n"), "");
    EXPECT_EQ(HtmlText_CleanLines("   "), "");
}

} // namespace

namespace {

TEST(DecodeHtmlEntities, OnePassEqualsTheStepByStepReplacements) {
    for (const Row& r : kEntityRows) {
        const std::u32string in = Utf8ToUtf32(r.In);
        EXPECT_EQ(DecodeHtmlEntities32(in), DecodeHtmlEntitiesLiteral32(in)) << r.In;
        EXPECT_EQ(DecodeHtmlEntities(r.In), Utf32ToUtf8(DecodeHtmlEntitiesLiteral32(in))) << r.In;
    }
}

// The decoder walks UTF-8 bytes; the reach of a numeric reference still counts characters,
// and invalid bytes after the first "&" read as U+FFFD, as in the character walk.
TEST(DecodeHtmlEntities, BytesGiveWhatCharactersGive) {
    const char* const texts[] = {
        "&#\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9;",
        "&#\xE6\x97\xA5\xE6\x97\xA5\xE6\x97\xA5\xE6\x97\xA5\xE6\x97\xA5\xE6\x97\xA5"
        "6;&#66;",
        "&#1\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9&#65; &#1\xC3\xA9&#65;",
        "\xF0\x9F\x98\x80&#x1F600;&eacute;&EACUTE;&#150;\xC2\x96",
        "a&amp;\xFF\xC3(&#65;",
    };
    for (const char* t : texts)
        EXPECT_EQ(DecodeHtmlEntities(t), Utf32ToUtf8(DecodeHtmlEntitiesLiteral32(Utf8ToUtf32(t))))
            << t;
    EXPECT_EQ(DecodeHtmlEntities("\xFF\xFE&#65;"), "\xFF\xFE"
                                                   "A")
        << "bytes before the first reference stay as they are";
}

} // namespace
