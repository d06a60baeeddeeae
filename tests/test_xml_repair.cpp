// Downloaded documents that fail to parse are repaired by one patch at most; every repair
// and every failure leaves its lines in the log.
#include <gtest/gtest.h>

#include "platform/core/FileUtil.h"
#include "shell/base/Log.h"
#include "support/TestSupport.h"
#include "update/core/XML_Qn.h"
#include "update/core/XmlRepair.h"

namespace {
std::string Fixture(const std::string& name) {
    return ReadFileOrEmpty(TestData("xml/" + name));
}

std::string ChannelTitle(const XmlDocument& doc) {
    return XmlText(XmlChild(XmlChild(doc.RootElement(), "channel", 1), "title", 1));
}

struct RepairRow {
    const char* File;
    bool Parsed; // a document results
    int Parses;  // parses run
    const char* Title;
    const char* Log; // the whole log of the call
};
} // namespace

TEST(XmlRepair, EachFixtureIsRepairedOrRefusedWithItsLogLines) {
    const RepairRow rows[] = {
        // Parsed at once: nothing logged.
        {"well-formed.xml", true, 1, "Actualit\xC3\xA9s", ""},
        // "<br/>" is well-formed for expat: no repair needed.
        {"br-self-closing.xml", true, 1, "Title", ""},
        // The Windows code page is known to the parser.
        {"windows-1252-declaration.xml", true, 1, "Caf\xC3\xA9 \xE2\x82\xAC \xE2\x80\x99", ""},
        // A byte-order mark and junk before "<?xml": dropped, no patch needed.
        {"junk-before-declaration.xml", true, 2, "Junk",
         "! ErrorXML syntax error line=1 pos=1\r\n  Patched by IsGoodXml, \r\n"},
        // "utf8" is unknown to expat, but the text is parsed as UTF-8 whatever it declares.
        {"utf8-declaration.xml", true, 2,
         "D\xC3\xA9"
         "claration",
         "! ErrorXML unknown encoding line=1 pos=30\r\n  Patched by IsGoodXml, \r\n"},
        // Windows-1252 bytes under a UTF-8 declaration keep their letters.
        {"latin1-bytes-declared-utf8.xml", true, 2, "Caf\xC3\xA9",
         "! ErrorXML not well-formed (invalid token) line=2 pos=38\r\n"
         "  Patched by IsGoodXml, \r\n"},
        // A bare ampersand is an invalid token for expat: escaped by the code-4 patch.
        {"bare-ampersand-in-title.xml", true, 3, "Tom & Jerry",
         "! ErrorXML not well-formed (invalid token) line=4 pos=12\r\n"
         "not well-formed (invalid token) line=4 pos=12 => <title>Tom & Jerry</title>\r\n"
         "  Patched by IsGoodXml, \r\n"},
        // Ampersands that begin no well-formed reference are escaped, one at a time.
        {"ampersand-without-semicolon.xml", true, 3, "AT&T &copy 2024 &#169 &#xZZ;",
         "! ErrorXML not well-formed (invalid token) line=4 pos=11\r\n"
         "not well-formed (invalid token) line=4 pos=11 => "
         "<title>AT&T &copy 2024 &#169 &#xZZ;</title>\r\n"
         "  Patched by IsGoodXml, \r\n"},
        // A control character is removed; the tab stays.
        {"control-character-in-title.xml", true, 3, "Backspace\tkept",
         "! ErrorXML not well-formed (invalid token) line=4 pos=11\r\n"
         "not well-formed (invalid token) line=4 pos=11 => <title>Back\x08space\tkept</title>\r\n"
         "  Patched by IsGoodXml, \r\n"},
        // The code-4 patch leaves ampersands inside CDATA sections and comments alone.
        {"cdata-ampersand-with-control-character.xml", true, 3, "Ctrl & co",
         "! ErrorXML not well-formed (invalid token) line=4 pos=11\r\n"
         "not well-formed (invalid token) line=4 pos=11 => <title>Ctrl\x02 & co</title>\r\n"
         "  Patched by IsGoodXml, \r\n"},
        // Undefined entity: every "&" escaped, valid references included.
        {"undefined-entity.xml", true, 3, "Caf&eacute; &amp; cr&egrave;me",
         "! ErrorXML undefined entity line=4 pos=10\r\n"
         "undefined entity line=4 pos=10 => <title>Caf&eacute; &amp; cr&egrave;me</title>\r\n"
         "  Patched by IsGoodXml, \r\n"},
        // CR LF and blank lines are folded before the line numbers are counted.
        {"crlf-and-blank-lines.xml", true, 3, "A & B",
         "! ErrorXML not well-formed (invalid token) line=6 pos=19\r\n"
         "not well-formed (invalid token) line=6 pos=19 => <channel><title>A & B</title>\r\n"
         "  Patched by IsGoodXml, \r\n"},
        // A bare ampersand and a control character are both invalid tokens: one patch.
        {"bare-ampersand-and-control-character.xml", true, 3, "Tom & Jerry",
         "! ErrorXML not well-formed (invalid token) line=4 pos=12\r\n"
         "not well-formed (invalid token) line=4 pos=12 => <title>Tom & Jerry\x07</title>\r\n"
         "  Patched by IsGoodXml, \r\n"},
        // Two different faults: only one patch is parsed again.
        {"two-faults-bare-ampersand-then-entity.xml", false, 3, "",
         "! ErrorXML not well-formed (invalid token) line=4 pos=12\r\n"
         "not well-formed (invalid token) line=4 pos=12 => <title>Tom & Jerry</title>\r\n"
         "undefined entity line=5 pos=16 => <description>caf&eacute;</description>\r\n"
         "! Error IsGoodXml, \r\n"},
        {"two-faults-control-then-entity.xml", false, 3, "",
         "! ErrorXML not well-formed (invalid token) line=4 pos=10\r\n"
         "not well-formed (invalid token) line=4 pos=10 => <title>Bad\x01 one</title>\r\n"
         "undefined entity line=5 pos=16 => <description>caf&eacute;</description>\r\n"
         "! Error IsGoodXml, \r\n"},
        {"two-faults-entity-then-control.xml", false, 3, "",
         "! ErrorXML undefined entity line=4 pos=10\r\n"
         "undefined entity line=4 pos=10 => <title>caf&eacute;</title>\r\n"
         "not well-formed (invalid token) line=5 pos=16 => <description>Bad\x01 "
         "one</description>\r\n"
         "! Error IsGoodXml, \r\n"},
        // Expat reports an unclosed token only for a cut document, which " />" cannot mend.
        {"unclosed-token-truncated.xml", false, 3, "",
         "! ErrorXML unclosed token line=4 pos=10\r\n"
         "unclosed token line=4 pos=10 => <title>Cut<br/\r\n"
         "unclosed token line=4 pos=10 => <title>Cut<br/\r\n"
         "! Error IsGoodXml, \r\n"},
        // A fault no patch addresses ends the loop at once.
        {"mismatched-tag.xml", false, 2, "",
         "! ErrorXML mismatched tag line=5 pos=22\r\n"
         "mismatched tag line=5 pos=22 => <description><b>bold</i></description>\r\n"
         "! Error IsGoodXml, \r\n"},
    };
    for (const RepairRow& r : rows) {
        SCOPED_TRACE(r.File);
        const std::string bytes = Fixture(r.File);
        ASSERT_FALSE(bytes.empty());
        Log_Reset();
        const uint64_t before = Xml_ParseCount();
        auto doc = IsGoodXML(r.File, &bytes, static_cast<int64_t>(bytes.size()));
        EXPECT_EQ(Xml_ParseCount() - before, static_cast<uint64_t>(r.Parses));
        ASSERT_EQ(doc != nullptr, r.Parsed);
        if (doc) {
            EXPECT_EQ(doc->ErrorCode(), 0);
            EXPECT_EQ(ChannelTitle(*doc), r.Title);
        }
        EXPECT_EQ(Log_Text(), r.Log);
    }
}

TEST(XmlRepair, TheCodeFourPatchKeepsReferencesAndSections) {
    EXPECT_EQ(XmlPatch_InvalidToken("a & b &amp; &#38; &#x26; &x-1.y; &; &#; &#x; &1a;"),
              "a &amp; b &amp; &#38; &#x26; &x-1.y; &amp;; &amp;#; &amp;#x; &amp;1a;");
    EXPECT_EQ(XmlPatch_InvalidToken("\x01<![CDATA[&\x02]]>&<!--&-->&\t\n\r"),
              "<![CDATA[&]]>&amp;<!--&-->&amp;\t\n\r");
    EXPECT_EQ(XmlPatch_InvalidToken("<![CDATA[never closed &"), "<![CDATA[never closed &");
    EXPECT_EQ(XmlPatch_InvalidToken("&caf\xC3\xA9;"), "&caf\xC3\xA9;");
}

TEST(XmlRepair, TheOtherPatchesAreTextReplacements) {
    EXPECT_EQ(XmlPatch_UnclosedToken("<br/><a/>"), "<br /><a />");
    EXPECT_EQ(XmlPatch_UndefinedEntity("&amp; &x"), "&amp;amp; &amp;x");
    EXPECT_EQ(XmlPatch_UnknownEncoding("encoding='UTF8' utf8"), "encoding='UTF-8' UTF-8");
}

TEST(XmlRepair, MemoryWithoutBytesIsRefused) {
    const std::string block = "<r/>";
    Log_Reset();
    EXPECT_EQ(IsGoodXML("x", &block, 0), nullptr);
    EXPECT_EQ(Log_Text(),
              "! Error IsGoodXML, Memory have no size !\r\n! Error, can't open XML !\r\n");
    Log_Reset();
    EXPECT_EQ(IsGoodXML("x", &block, 5), nullptr);
    EXPECT_EQ(Log_Text(),
              "! Error IsGoodXML, Memory is less than Size !\r\n! Error, can't open XML !\r\n");
    Log_Reset();
    auto doc = IsGoodXML("x", &block, 4);
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->RootElement()->Name, "r");
}

TEST(XmlRepair, OnlyTheGivenSizeOfTheBlockIsRead) {
    // A download block is larger than the bytes in it.
    std::string block = "<rss><channel><title>T</title></channel></rss>";
    const auto size = static_cast<int64_t>(block.size());
    block += std::string(4096, '\0');
    auto doc = IsGoodXML("x", &block, size);
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(ChannelTitle(*doc), "T");
}

TEST(XmlRepair, FilesAreReadWhenThereIsNoMemory) {
    TempDir dir;
    // A declared single-byte encoding is honoured when the file is parsed.
    const std::string latin = dir.File("latin.xml");
    WriteFileOrDie(latin, "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>"
                          "<rss><channel><title>Caf\xE9</title></channel></rss>");
    Log_Reset();
    auto doc = IsGoodXML(latin, nullptr, 0);
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(ChannelTitle(*doc), "Caf\xC3\xA9");
    EXPECT_EQ(Log_Text(), "");

    const std::string amp = dir.File("amp.xml");
    WriteFileOrDie(amp, Fixture("bare-ampersand-in-title.xml"));
    doc = IsGoodXML(amp, nullptr, 0);
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(ChannelTitle(*doc), "Tom & Jerry");

    const std::string empty = dir.File("empty.xml");
    WriteFileOrDie(empty, "");
    Log_Reset();
    EXPECT_EQ(IsGoodXML(empty, nullptr, 0), nullptr);
    EXPECT_EQ(Log_Text(), "! ErrorXML no element found line=1 pos=0\r\n"
                          "! Error IsGoodXML, file is emplty : " +
                              empty + "\r\n! Error IsGoodXML, reloading data is null\r\n");

    const std::string missing = dir.File("missing.xml");
    Log_Reset();
    EXPECT_EQ(IsGoodXML(missing, nullptr, 0), nullptr);
    EXPECT_EQ(Log_Text(), "! Error IsGoodXML, Can't access file : " + missing +
                              "\r\n! Error, can't open XML !\r\n");
}

TEST(XmlRepair, Utf16DocumentsAreRepairedAsText) {
    const std::string text = "<r>a & b</r>";
    std::string bytes = "\xFF\xFE";
    for (char c : text) {
        bytes += c;
        bytes += '\0';
    }
    Log_Reset();
    auto doc = IsGoodXML("u16", &bytes, static_cast<int64_t>(bytes.size()));
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(XmlText(doc->RootElement()), "a & b");
}
