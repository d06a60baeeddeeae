// Walking parsed documents by element name, attributes, element texts and the clean-up of
// values taken from them.
#include <gtest/gtest.h>

#include "update/core/XML_Qn.h"

namespace {
std::unique_ptr<XmlDocument> Parse(const char* text) {
    auto doc = Xml_ParseUtf8(text);
    EXPECT_EQ(doc->ErrorCode(), 0) << doc->ErrorMessage();
    return doc;
}
} // namespace

TEST(XmlAccess, ChildAndNextSiblingFindElementsByNameWithOrWithoutCase) {
    auto doc = Parse("<rss><!-- c --><Channel><item>1</item><x/><ITEM>2</ITEM>"
                     "<item>3</item></Channel></rss>");
    const XmlNode* rss = doc->RootElement();
    EXPECT_EQ(XmlChild(rss, "channel", 0), nullptr);
    const XmlNode* channel = XmlChild(rss, "channel", 1);
    ASSERT_NE(channel, nullptr);
    const XmlNode* item = XmlChild(channel, "item", 0);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->Text, "1");
    EXPECT_EQ(XmlNextSibling(item, "item", 0)->Text, "3");
    EXPECT_EQ(XmlNextSibling(item, "item", 1)->Text, "2");
    EXPECT_EQ(XmlNextSibling(XmlNextSibling(item, "item", 0), "item", 0), nullptr);
    EXPECT_EQ(XmlChild(nullptr, "x", 1), nullptr);
    EXPECT_EQ(XmlNextSibling(nullptr, "x", 1), nullptr);
}

TEST(XmlAccess, AttributeNamesAreComparedTrimmedAndMissingOnesAreEmpty) {
    auto doc = Parse("<rss version=' 2.0 ' xml:lang='fr'/>");
    const XmlNode* rss = doc->RootElement();
    EXPECT_EQ(XmlAttribute(rss, "version", 0), " 2.0 ");
    EXPECT_EQ(XmlAttribute(rss, " version ", 0), " 2.0 ");
    EXPECT_EQ(XmlAttribute(rss, "VERSION", 0), "");
    EXPECT_EQ(XmlAttribute(rss, "VERSION", 1), " 2.0 ");
    EXPECT_EQ(XmlAttribute(rss, "xml:lang", 1), "fr");
    EXPECT_EQ(XmlAttribute(rss, "missing", 1), "");
    EXPECT_EQ(XmlAttribute(nullptr, "version", 1), "");
}

struct TextRow {
    const char* Xml;
    const char* Text;
    const char* Quirk;
};

TEST(XmlAccess, TextPutsOpeningCDataSectionsBeforeTheCharacterData) {
    const TextRow rows[] = {
        {"<t>plain</t>", "plain", "character data only"},
        {"<t><![CDATA[<b>x</b>]]></t>", "<b>x</b>", "one CDATA section"},
        {"<t><![CDATA[a]]><![CDATA[b]]></t>", "ab", "CDATA sections in order"},
        {"<t><![CDATA[a]]> tail</t>", "a tail", "CDATA then character data"},
        {"<t>lead <![CDATA[a]]></t>", "alead ", "character data comes after the sections"},
        {"<t><!-- c --><![CDATA[a]]>b</t>", "b", "a section after another child is left out"},
        {"<t>a &amp; b</t>", "a & b", "references decoded"},
        {"<t/>", "", "empty element"},
    };
    for (const TextRow& r : rows) {
        auto doc = Parse(r.Xml);
        EXPECT_EQ(XmlText(doc->RootElement()), r.Text) << r.Quirk;
    }
    EXPECT_EQ(XmlText(nullptr), "");
}

TEST(XmlAccess, InlineMarkupIsWrittenBackAsHtmlAndXhtmlWrappersAreOpened) {
    const TextRow rows[] = {
        {"<t><x/><![CDATA[a]]>b</t>", "<x></x>ab", "mixed content in document order"},
        {"<t>Avant <a href='u?x=1&amp;y=2'>lien</a> apr\xC3\xA8s<br/>&lt;pas&gt;</t>",
         "Avant <a href=\"u?x=1&amp;y=2\">lien</a> apr\xC3\xA8s<br />&lt;pas&gt;",
         "text and attribute values escaped again, void elements closed"},
        {"<t><p a='\"'>x</p><!-- c --><?pi d?></t>", "<p a=\"&quot;\">x</p>",
         "comments and instructions left out"},
        {"<t type='xhtml'> <div xmlns='http://www.w3.org/1999/xhtml'><p>In</p></div> </t>",
         "<p>In</p>", "Atom 1.0 XHTML: the inside of the div"},
        {"<t><h:div xmlns:h='http://www.w3.org/1999/xhtml'><h:b h:c='1'>In</h:b></h:div></t>",
         "<b c=\"1\">In</b>", "a prefixed XHTML div: prefixes dropped"},
        {"<t type='application/xhtml+xml' mode='xml'><div>In</div></t>", "In", "Atom 0.3 XHTML"},
        {"<t><div>In</div></t>", "<div>In</div>", "a div of no XHTML construct stays"},
        {"<t type='xhtml'>x<div>In</div></t>", "x<div>In</div>",
         "text beside the div: not a wrapper"},
        {"<t><div xmlns='http://www.w3.org/1999/xhtml'>a</div><div>b</div></t>",
         "<div>a</div><div>b</div>", "two divs: not a wrapper"},
    };
    for (const TextRow& r : rows) {
        auto doc = Parse(r.Xml);
        EXPECT_EQ(XmlText(doc->RootElement()), r.Text) << r.Quirk;
    }
    // The former rule stays available for values that are never markup.
    auto doc = Parse("<t><x>1</x>own</t>");
    EXPECT_EQ(XmlOwnText(doc->RootElement()), "own");
}

TEST(XmlAccess, Base64TextsDecodeOnlyWhenWellFormedAndUtf8) {
    std::string out = "unchanged";
    EXPECT_TRUE(XmlDecodeBase64Text(" w6l0w6k=\n", out));
    EXPECT_EQ(out, "\xC3\xA9t\xC3\xA9");
    out = "unchanged";
    EXPECT_FALSE(XmlDecodeBase64Text("QUJD=RA==", out)) << "padding inside";
    EXPECT_FALSE(XmlDecodeBase64Text("QUJ", out)) << "length not a multiple of 4";
    EXPECT_FALSE(XmlDecodeBase64Text("QU*D", out)) << "outside the alphabet";
    EXPECT_FALSE(XmlDecodeBase64Text("/w==", out)) << "not UTF-8";
    EXPECT_FALSE(XmlDecodeBase64Text("", out));
    EXPECT_EQ(out, "unchanged");
}

TEST(XmlAccess, CleanTextRemovesControlsAndNoBreakSpaces) {
    EXPECT_EQ(XmlCleanText(" a\x01\tb\nc\r\x1F ", 0), "a\tb\nc\r");
    EXPECT_EQ(XmlCleanText(" a\x01\tb\nc\r\x1F ", 1), "abc");
    EXPECT_EQ(XmlCleanText("\t x \t", 0), "x");
    EXPECT_EQ(CleanText("\xC2\xA0"
                        "a\xC2\xA0"
                        "b\x08\xC2\xA0",
                        1),
              "a b");
    EXPECT_EQ(CleanText("\xC3\xA9t\xC3\xA9", 1), "\xC3\xA9t\xC3\xA9");
}

TEST(XmlAccess, FeedTitlesLoseTheVideoSiteDecorations) {
    EXPECT_EQ(CleanFeedTitle("Uploads by Someone"), "Someone");
    EXPECT_EQ(CleanFeedTitle("uploads by Someone"), "uploads by Someone");
    EXPECT_EQ(CleanFeedTitle("Chaîne - VIDÉOS LES PLUS RÉCENTES - DAILYMOTION"), "Chaîne ");
    EXPECT_EQ(CleanFeedTitle("a- Vidéos les plus récentes - Dailymotionb"
                             "- vidéos les plus récentes - dailymotion"),
              "ab");
    EXPECT_EQ(CleanFeedTitle("Bad \xFF bytes kept"), "Bad \xFF bytes kept");
}

TEST(XmlAccess, AddChildBuildsElementsAnOutlineWriterCanWalk) {
    XmlDocument doc;
    XmlNode* opml = XmlAddChild(doc.Main(), "opml", "");
    XmlNode* body = XmlAddChild(opml, "body", "");
    XmlAddChild(body, "outline", "one");
    XmlAddChild(body, "outline", "two");
    EXPECT_EQ(doc.RootElement(), opml);
    const XmlNode* first = XmlChild(XmlChild(opml, "body", 0), "outline", 0);
    EXPECT_EQ(XmlText(first), "one");
    EXPECT_EQ(XmlText(XmlNextSibling(first, "outline", 0)), "two");
    EXPECT_EQ(XmlAddChild(nullptr, "x", ""), nullptr);
}
