// The article's texts: page clean-up, the start of the article, links of a description,
// the shared addresses, the text view's content and the saved files' bytes.
#include <gtest/gtest.h>

#include "article/core/ArticleItem.h"
#include "article/core/ArticleText.h"
#include "support/TestSupport.h"

TEST(CleanPageFilter, DropsNumbersNoiseWordsImagesAndRepeatsButKeepsDatesAndZeroPaddedNumbers) {
    const std::string in =
        "Titre\n12\n-3\n0\n-0\n007\n+4\n12 mai\nTweet\n  RSS \ntweeter\ns\neter\n"
        "\n(Image= logo)\n (image= x) \n(Image= logo) suite\nUn paragraphe.\n"
        "  un PARAGRAPHE.  \nUn paragraphe.\n3 avril\n99999999999999999999\n";
    EXPECT_EQ(CleanPage_FilterLines(in), "Titre\n-0\n007\n+4\n12 mai\n(Image= logo) suite\n"
                                         "Un paragraphe.\n3 avril\n99999999999999999999\n");
}

TEST(CleanPageFilter, KeptLinesAreNotTrimmedAndTheLastLineGetsItsLineFeed) {
    EXPECT_EQ(CleanPage_FilterLines("  a  \nb"), "  a  \nb\n");
}

TEST(CleanPageStart, MenusBeforeTheTitleMoveBehindTheArticle) {
    const std::string text = "Accueil\nSport\nNouvelle loi adoptée\nLe texte.\n";
    EXPECT_EQ(CleanPage_FindStart(text, "Nouvelle loi adoptée"),
              "Nouvelle loi adoptée\nLe texte.\n\r\n=== Haut de texte ====\r\nAccueil\nSport\n");
    // Already at the top: nothing moves.
    EXPECT_EQ(CleanPage_FindStart("Nouvelle loi\nx\n", "Nouvelle loi"), "Nouvelle loi\nx\n");
}

TEST(CleanPageStart, TitlePartsAroundDashAndColonAreTried) {
    const std::string text = "Menu\nnouvelle loi\nCorps\n";
    EXPECT_EQ(CleanPage_FindStart(text, "Nouvelle loi - Le Journal").substr(0, 13),
              "nouvelle loi\n");
    // After " : ", then that part before "(", then the part before " : ".
    EXPECT_EQ(
        CleanPage_FindStart("Menu\nSommet à Bruxelles\n", "Direct : Sommet (vidéo)").substr(0, 20),
        "Sommet à Bruxelles\n");
    EXPECT_EQ(CleanPage_FindStart("Menu\nEurope, la suite\n", "Europe : rien ici").substr(0, 7),
              "Europe,");
    // Typographic quotes match plain ones.
    EXPECT_EQ(CleanPage_FindStart("Menu\nL\u2019été\n", "L'Été").substr(0, 10), "L\u2019été\n");
    EXPECT_EQ(CleanPage_FindStart("Menu\nrien\n", "Absent"), "Menu\nrien\n");
}

TEST(CleanPageStart, TheDescriptionClueWinsOverTheTitle) {
    const std::string text = "Menu\nLe titre\nAutre\nLe gouvernement présente son budget. Suite\n";
    const std::string clue =
        "\r\nLe gouvernement présente son budget. Les détails suivent.\r\nLe titre";
    const std::string out = CleanPage_FindStart(text, "Le titre", clue);
    EXPECT_EQ(
        out.rfind("Le gouvernement présente son budget. Suite\n\r\n=== Haut de texte ====", 0), 0u)
        << out;
    // A clue found at the very start does not count; the title then decides.
    EXPECT_EQ(CleanPage_FindStart("Menu\nLe titre\n", "Le titre", "Menu"),
              "Le titre\n\r\n=== Haut de texte ====\r\nMenu\n");
    // A long clue line with "[" is cut before the character preceding it.
    EXPECT_EQ(CleanPage_FindStart("xx\nUne phrase assez longue ici\n", "",
                                  "Une phrase assez longue ici [lire]")
                  .substr(0, 3),
              "Une");
}

TEST(CleanPageStart, ARepeatedFirstLineIsRemoved) {
    EXPECT_EQ(CleanPage_FindStart("Titre\n  TITRE \nCorps\n", "absent"), "  TITRE \nCorps\n");
}

TEST(CleanPageText, LineFeedsBecomeCrLfWithoutDoublingAndStatisticsHaveTwoDecimals) {
    EXPECT_EQ(CleanPage_CrLf("a\nb\r\nc\n"), "a\r\nb\r\nc\r\n");
    EXPECT_EQ(CleanPage_Statistics(2048, 1500, 512, 25),
              "\r\nTéléchargement de 2.00 Ko en 1.50 secondes. Extraction de 0.50 Ko en 0.03 "
              "secondes.");
}

TEST(ArticleLinks, TwentyFiveLinksAtMostAndAddressesInAnyCaseOnce) {
    const std::string html = ReadFileOrEmpty(TestData("article/description_30_links.html"));
    const std::vector<ArticleLink> links = ArticleLinks_Parse(GetArticleLinks(html));
    ASSERT_EQ(links.size(), 25u);
    EXPECT_EQ(links[0].Address, "http://example.test/Article/0");
    EXPECT_EQ(links[0].Text, "Lien 0");
    EXPECT_EQ(links[24].Address, "http://example.test/article/24");
    // The duplicate in another case after the 30 links is never offered.
    for (const ArticleLink& l : links)
        EXPECT_NE(l.Text, "copie");
}

TEST(ArticleLinks, StarsTagsAndReferencesAreCleanedAndLinksWithoutHrefOrEndSkipped) {
    const std::string html = ReadFileOrEmpty(TestData("article/description_link_quirks.html"));
    const std::string links = GetArticleLinks(html);
    EXPECT_EQ(links, "http://a.test/xy*Un lien & co*http://b.test/*B*");
    EXPECT_EQ(ArticleLinks_Address(links, 1), "http://b.test/");
    EXPECT_EQ(ArticleLinks_Address(links, 2), "");
    EXPECT_EQ(ArticleLinks_Address(links, -1), "");
}

TEST(UrlEncode, ThePartsCases) {
    EXPECT_EQ(UrlEncodeText("a b/c.d"), "a%20b%2Fc%2Ed");
    EXPECT_EQ(UrlEncodeText("100%"), "100%25");
    EXPECT_EQ(UrlEncodeText("a:b;c?d<e=f>g\\h"), "a%3Ab%3Bc%3Fd%3Ce%3Df%3Eg%5Ch");
    EXPECT_EQ(UrlEncodeText("é&\n"), "é%26%0A");
    EXPECT_EQ(UrlEncodeText("AZaz09_~"), "AZaz09_~");
}

TEST(MailAndShare, MailAddressCarriesSubjectBodyAndAudioAndIsCutAt1900Characters) {
    ArticleFields item;
    item.Title = "Q&A: 1/2?";
    item.Link = "http://x.test/a?b=1";
    EXPECT_EQ(MailItem_Address(item),
              "mailto:?subject=Q%26A%3A%201%2F2%3F&body=http%3A%2F%2Fx%2Etest%2Fa%3Fb%3D1");
    item.AudioLink = "http://x.test/a.mp3";
    EXPECT_NE(MailItem_Address(item).find("%0AFichier%20associé%20%3A%0Ahttp"), std::string::npos);
    item.Title = std::string(400, 'e');
    item.Link = "http://x.test/" + std::string(3000, 'a');
    const std::string address = MailItem_Address(item);
    EXPECT_EQ(address.size(), 1900u);
    EXPECT_EQ(address.substr(0, 16 + 250), "mailto:?subject=" + std::string(250, 'e'));
    // Characters, not bytes, are counted.
    item.Title = "t";
    std::string accents;
    for (int i = 0; i < 3000; ++i)
        accents += "é";
    item.Link = accents;
    const std::string cut = MailItem_Address(item);
    EXPECT_EQ(cut.size(), 1900u + (1900u - std::string("mailto:?subject=t&body=").size()));
}

TEST(MailAndShare, ShareTemplatesGetTheTitleTheLinkAndTheAudioFile) {
    ArticleFields item;
    item.Title = "Un titre";
    item.Link = "http://x.test/a";
    EXPECT_EQ(ShareItem_Address(item, ShareTemplate_Twitter),
              "https://twitter.com/?status=Un%20titre%20http://x.test/a");
    EXPECT_EQ(ShareItem_Address(item, ShareTemplate_FaceBook),
              "https://www.facebook.com/share.php?u=http://x.test/a&t=Un%20titre");
    item.AudioLink = "http://x.test/a.mp3";
    EXPECT_EQ(ShareItem_Address(item, ":Url::UrlFile:"),
              "http://x.test/a\nFichier joint :\nhttp://x.test/a.mp3");
}

TEST(ItemInfo, AuthorPodcastOrFileSizeAndDurationInOrder) {
    ItemInfoSettings s{"mp3;ogg", "%hh:%ii:%ss"};
    ArticleFields item;
    EXPECT_EQ(ItemInfoText(item, s), "");
    item.Author = "Anne";
    item.AudioFile = "emission.MP3";
    item.AudioLink = "http://x.test/emission.MP3";
    item.AudioFileLength = 3 * 1024 * 1024 / 2;
    item.ItunesDuration = 3725;
    EXPECT_EQ(ItemInfoText(item, s),
              "\r\nAuteur : Anne\r\nPodcast emission.MP3\r\n"
              "http://x.test/emission.MP3\r\nTaille 1.5 Mo\r\nDurée 01:02:05");
    EXPECT_NE(ItemInfoText(item, {"mp3", "%dt%dmm%dss"}).find("Durée 01:02:05"), std::string::npos);
    item.AudioFile = "notes.pdf";
    EXPECT_NE(ItemInfoText(item, s).find("\r\nFichier notes.pdf\r\n"), std::string::npos);
}

TEST(ItemView, TextKeepsTheDescriptionsLineBreaksThenTitleAndInfo) {
    ArticleFields item;
    item.Title = "Le <b>titre</b>";
    item.Description = "Ligne un \r\nLigne deux<img src=x alt=photo>";
    item.Author = "Anne";
    // The description's line break comes out after the space the "<br>" is written with.
    EXPECT_EQ(ItemView_Text(item, false, {}),
              "Ligne un \r\nLigne deux (Image= photo)\r\nLe titre\r\nAuteur : Anne");
    // Readability drops images.
    EXPECT_EQ(ItemView_Text(item, true, {}),
              "Ligne un \r\nLigne deux\r\nLe titre\r\nAuteur : Anne");
    item.Title = "A < B & C";
    item.Description = "<p>x</p>";
    EXPECT_EQ(ItemView_Html(item),
              "<html><head><title>A &lt; B &amp; C</title></head><body><p>x</p></body></html>");
}

TEST(SaveArticle, FileNameLosesTheCharactersPathsCannotHold) {
    EXPECT_EQ(SaveArticle_FileName("Q&A: 1/2?"), "Q&A 12.Txt");
    EXPECT_EQ(SaveArticle_FileName("a\\b"), "ab.Txt");
}

TEST(SaveArticle, Utf8WithItsMarkAndWindows1252WithQuestionMarksCounted) {
    TempDir dir;
    const std::string text = "Caf\u00e9 \u20ac \u2013 \u0416\u4e2d?\r\n";
    size_t lost = 99;
    ASSERT_TRUE(SaveArticle_Write(dir.File("u.txt"), text, false, &lost));
    EXPECT_EQ(lost, 0u);
    EXPECT_EQ(ReadFileOrEmpty(dir.File("u.txt")), "\xEF\xBB\xBF" + text);
    ASSERT_TRUE(SaveArticle_Write(dir.File("a.Txt"), text, true, &lost));
    EXPECT_EQ(ReadFileOrEmpty(dir.File("a.Txt")), std::string("Caf\xE9 \x80 \x96 ???\r\n"));
    EXPECT_EQ(lost, 2u);
    // No twin is left behind; a folder that does not exist makes the save fail.
    EXPECT_FALSE(ReadFileOrEmpty(dir.File("a.Txt.Tmp")).size());
    EXPECT_FALSE(SaveArticle_Write(dir.File("missing/x.Txt"), text, false));
}

TEST(ArticleLinks, OnlyWebAndMailAddressesAreEverHandedToAnotherProgram) {
    for (const char* ok :
         {"http://a.test/", "HTTPS://a.test/x", "ftp://f.test/a", "mailto:a@b.test"})
        EXPECT_TRUE(ArticleLink_IsOpenable(ok)) << ok;
    for (const char* no : {"", "file:///etc/passwd", "javascript:alert(1)", "/usr/bin/xterm",
                           "relative/page.html", "http://", "-e xterm"})
        EXPECT_FALSE(ArticleLink_IsOpenable(no)) << no;
}
