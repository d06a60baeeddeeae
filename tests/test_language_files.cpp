// Language files: loading a translation, writing the translator's file, the language list.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/core/Text.h"
#include "shell/base/IniFile.h"
#include "shell/base/Lng.h"
#include "shell/base/LngInternal.h"
#include "shell/base/LngState.h"
#include "shell/base/Log.h"
#include "support/TestSupport.h"

namespace {
class LanguageFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        Lng_Reset();
        Log_Reset();
        Log_SetFile(dir.File("Orvalis.Log"));
    }
    void TearDown() override { Lng_Reset(); }
    std::string Fixtures() const { return TestData("lang"); }
    TempDir dir;
};

// The lines of a written file after its four comment lines, split at CR LF.
std::vector<std::string> EntryLines(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t pos = 3; // byte-order mark
    while (pos < bytes.size()) {
        const size_t end = bytes.find("\r\n", pos);
        lines.push_back(bytes.substr(pos, end - pos));
        pos = end + 2;
    }
    return std::vector<std::string>(lines.begin() + 4, lines.end());
}
} // namespace

TEST_F(LanguageFiles, AWrittenFileListsEveryKeyedEntryInTableOrderMarkedFrench) {
    ASSERT_TRUE(UpdateLanguageFile(dir.Path(), "Nouvelle"));
    const std::string bytes = ReadFileOrEmpty(dir.File("Nouvelle.Txt"));
    ASSERT_EQ(bytes.rfind("\xEF\xBB\xBF; Language file for \r\n; Orvalis 1.10.1708.2300\r\n; \r\n"
                          "; Text to translate is followed by (Fr)\r\n",
                          0),
              0u);
    const std::vector<std::string> lines = EntryLines(bytes);
    ASSERT_EQ(lines.size(), 548u); // 549 entries less the one without a key
    size_t line = 0;
    for (int i = 0; i < L_Count; ++i) {
        if (i == L_Autoriser) continue;
        EXPECT_EQ(lines[line].substr(0, lines[line].find(" = ")), LngTable[i].Key);
        EXPECT_TRUE(EndsWithNoCase(lines[line], " (Fr)")) << lines[line];
        ++line;
    }
    EXPECT_EQ(bytes.find("\r\n = "), std::string::npos);
}

TEST_F(LanguageFiles, WritingKeepsEveryPlaceholderAndLineBreak) {
    ASSERT_TRUE(UpdateLanguageFile(dir.Path(), "Nouvelle"));
    IniReader file;
    ASSERT_TRUE(file.Open(dir.File("Nouvelle.Txt")));
    EXPECT_EQ(
        file.ReadString("Msg_QuitWithPodcastDownloading"),
        "Des fichiers de podcast sont en téléchargement.%w%Voulez-vous vraiment quitter ? (Fr)");
    // "%S1%" is written in its lower-case form; the fourth parameter is kept too.
    EXPECT_EQ(file.ReadString("Msg_Stat"),
              "%s1% flux, %s2% désactivés.%w%%s3% WebRadio.%w%%s4% autres flux. (Fr)");
}

TEST_F(LanguageFiles, WritingThenLoadingThenWritingAgainGivesTheSameFile) {
    ASSERT_TRUE(UpdateLanguageFile(dir.Path(), "Nouvelle"));
    const std::string first = ReadFileOrEmpty(dir.File("Nouvelle.Txt"));
    LoadLanguage("Nouvelle", dir.Path());
    EXPECT_EQ(Lng_CurrentLanguage(), "Nouvelle");
    EXPECT_EQ(Lng(L_Audio_InPause), "En pause (Fr)");
    ASSERT_TRUE(UpdateLanguageFile(dir.Path() + "/", "Nouvelle"));
    EXPECT_EQ(ReadFileOrEmpty(dir.File("Nouvelle.Txt")), first);
}

TEST_F(LanguageFiles, ATranslatedEntryIsWrittenWithoutMarker) {
    LoadLanguage("LineBreaksAndPlaceholders", Fixtures());
    ASSERT_TRUE(UpdateLanguageFile(dir.Path(), "LineBreaksAndPlaceholders"));
    IniReader file;
    ASSERT_TRUE(file.Open(dir.File("LineBreaksAndPlaceholders.Txt")));
    EXPECT_EQ(file.ReadString("Msg_QuitWithPodcastDownloading"),
              "Podcasts are downloading.%w%Quit anyway?");
    EXPECT_EQ(file.ReadString("Audio_InPause"), "En pause (Fr)");
}

TEST_F(LanguageFiles, ATranslationShowsItsLineBreaksAndPlaceholdersIgnoringCase) {
    LoadLanguage("LineBreaksAndPlaceholders", Fixtures());
    EXPECT_EQ(Lng(L_Msg_QuitWithPodcastDownloading), "Podcasts are downloading.\r\nQuit anyway?");
    EXPECT_EQ(Lng(L_Msg_FeedRefreshedNew, "News", "3"), "News updated, 3 new articles!");
    // Parameters are replaced in order in the growing text.
    EXPECT_EQ(Lng(L_Status_GroupSelected, "%s2%", "9"), "Group 9 of 9");
}

TEST_F(LanguageFiles, AnEmptyValueKeepsTheFrenchText) {
    LoadLanguage("EmptyValueKeepsFrench", Fixtures());
    EXPECT_EQ(Lng(L_Audio_InPause), "En pause");
    EXPECT_EQ(Lng(L_Audio_Playing), "Playing");
}

TEST_F(LanguageFiles, AMissingFileKeepsTheLanguageNameButShowsFrench) {
    LoadLanguage("Absent", dir.Path());
    EXPECT_EQ(Lng_CurrentLanguage(), "Absent");
    EXPECT_EQ(Lng(L_Button_Cancel), "&Annuler");
}

TEST_F(LanguageFiles, AnEmptyLanguageLoadsNothing) {
    LoadLanguage("LineBreaksAndPlaceholders", Fixtures());
    LoadLanguage("", Fixtures());
    EXPECT_EQ(Lng_CurrentLanguage(), "LineBreaksAndPlaceholders");
    EXPECT_FALSE(UpdateLanguageFile(dir.Path(), ""));
}

TEST_F(LanguageFiles, TheEntryWithoutKeyIsNeverTranslated) {
    LoadLanguage("EmptyKeyNeverTranslated", Fixtures());
    EXPECT_EQ(Lng(L_Autoriser), "Autoriser");
    EXPECT_EQ(Lng(L_Button_Ok), "OK");
}

TEST_F(LanguageFiles, BothEntriesOfTheDoubledKeyReadTheSameValue) {
    LoadLanguage("DoubledKeyReadsOneValue", Fixtures());
    EXPECT_EQ(Lng(L_EditRss_CheckBox_DisableRss), "Disable this feed");
    EXPECT_EQ(Lng(L_EditRss_CheckBox_DisableRss2), "Disable this feed");
}

TEST_F(LanguageFiles, TheDoubledKeyWrittenTwiceGivesEachEntryItsOwnLine) {
    LoadLanguage("DoubledKeyWrittenTwice", Fixtures());
    EXPECT_EQ(Lng(L_EditRss_CheckBox_DisableRss), "Disable this feed");
    EXPECT_EQ(Lng(L_EditRss_CheckBox_DisableRss2), "Feed disabled");
}

TEST_F(LanguageFiles, OuterSpacesOfTheFrenchTextSurviveTheTrimmingOfValues) {
    LoadLanguage("OuterSpacesLostByTrimming", Fixtures());
    EXPECT_EQ(Lng(L_Sufix_Disabled), " disabled!");
    EXPECT_EQ(Lng(L_Sufix_Enabled), " enabled!");
    EXPECT_EQ(Lng(L_EditRss_String_Name), "Name ");
}

TEST_F(LanguageFiles, AFileWithoutByteOrderMarkIsReadAsWindows1252) {
    LoadLanguage("AnsiWithoutByteOrderMark", Fixtures());
    EXPECT_EQ(Lng(L_Month_Feb), "Février en 1252");
    EXPECT_EQ(Lng(L_Month_Dec), "décembre");
}

TEST_F(LanguageFiles, AWalkThatStopsBeforeTheTableEndClearsTheLanguage) {
    std::vector<LngTableEntry> shortTable(LngTable, LngTable + L_Count + 1);
    shortTable[10] = {"", ""}; // a closing pair in the middle
    Lng_LoadWithTable(shortTable.data(), L_Count, "LineBreaksAndPlaceholders", Fixtures());
    EXPECT_EQ(Lng_CurrentLanguage(), "");
    EXPECT_EQ(Lng(L_Msg_QuitWithPodcastDownloading),
              "Des fichiers de podcast sont en téléchargement.\r\nVoulez-vous vraiment quitter ?");
}

TEST_F(LanguageFiles, TheLanguageListStartsWithFrenchAndSelectsTheCurrentLanguage) {
    WriteFileOrDie(dir.File("English.Txt"), "");
    WriteFileOrDie(dir.File("deutsch.TXT"), "");
    WriteFileOrDie(dir.File("notes.md"), "");
    int selected = -1;
    std::vector<LanguageChoice> list = FillLanguageList(dir.Path(), "english", selected);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].Label, "Français (Par défaut)");
    EXPECT_EQ(list[0].Language, "");
    EXPECT_EQ(list[1].Language, "deutsch");
    EXPECT_EQ(list[2].Language, "English");
    EXPECT_EQ(selected, 2);
    list = FillLanguageList(dir.Path(), "", selected);
    EXPECT_EQ(selected, 0);
    list = FillLanguageList(dir.File("missing"), "English", selected);
    EXPECT_EQ(list.size(), 1u);
    EXPECT_EQ(selected, 0);
}

TEST_F(LanguageFiles, TheToolWritesTheFileKeepingAnExistingTranslation) {
    WriteFileOrDie(dir.File("Mine.Txt"), "\xEF\xBB\xBF"
                                         "Button_Ok = Fine\r\n");
    const ProcessResult r = RunTool({"lang", "write", dir.Path(), "Mine"}, dir.Path());
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    IniReader file;
    ASSERT_TRUE(file.Open(dir.File("Mine.Txt")));
    EXPECT_EQ(file.ReadString("Button_Ok"), "Fine");
    EXPECT_EQ(file.ReadString("Button_Cancel"), "&Annuler (Fr)");
    EXPECT_NE(RunTool({"lang", "write", dir.Path()}, dir.Path()).ExitCode, 0);
}

namespace {
// The placeholders of a text, lower-cased, in order of appearance.
std::vector<std::string> Placeholders(const std::string& text) {
    std::vector<std::string> found;
    const std::string lower = AsciiLower(text);
    for (size_t pos = lower.find('%'); pos != std::string::npos; pos = lower.find('%', pos + 1)) {
        for (const char* ph : {"%s1%", "%s2%", "%s3%", "%s4%", "%w%", "%x%"}) {
            if (lower.compare(pos, std::char_traits<char>::length(ph), ph) == 0)
                found.push_back(ph);
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}
} // namespace

TEST_F(LanguageFiles, TheShippedEnglishFileTranslatesEveryEntryWithTheSamePlaceholders) {
    IniReader file;
    ASSERT_TRUE(file.Open(BinPath("Lang/English.Txt")));
    EXPECT_TRUE(file.HadByteOrderMark());
    for (int i = 0; i < L_Count; ++i) {
        if (!*LngTable[i].Key) continue;
        const std::string value = file.ReadString(LngTable[i].Key, "");
        EXPECT_FALSE(value.empty()) << LngTable[i].Key;
        EXPECT_EQ(value.find("(Fr)"), std::string::npos) << LngTable[i].Key;
        EXPECT_EQ(Placeholders(value), Placeholders(LngTable[i].FrenchText)) << LngTable[i].Key;
    }
    EXPECT_EQ(EntryLines(ReadFileOrEmpty(BinPath("Lang/English.Txt"))).size(), 548u);
}

TEST_F(LanguageFiles, TheShippedEnglishFileIsWhatTheProgramWritesBackAfterLoadingIt) {
    LoadLanguage("English", BinPath("Lang"));
    EXPECT_EQ(Lng(L_Button_Cancel), "&Cancel");
    EXPECT_EQ(Lng(L_Msg_Stat, "5", "1", "2", "3"),
              "5 feeds, 1 disabled.\r\n2 web radios.\r\n3 other feeds.");
    EXPECT_EQ(Lng(L_Menu_Prefs), "Preferences...");
    EXPECT_EQ(Lng(L_Sufix_Enabled), " enabled!");
    ASSERT_TRUE(UpdateLanguageFile(dir.Path(), "English"));
    EXPECT_EQ(ReadFileOrEmpty(dir.File("English.Txt")),
              ReadFileOrEmpty(BinPath("Lang/English.Txt")));
}

TEST_F(LanguageFiles, WritingAnotherLanguagesFileLeavesTheCurrentLanguageAlone) {
    LoadLanguage("LineBreaksAndPlaceholders", Fixtures());
    WriteFileOrDie(dir.File("Other.Txt"), "\xEF\xBB\xBF"
                                          "Button_Ok = Fine\r\n");
    ASSERT_TRUE(UpdateLanguageFileFor(dir.Path(), "Other"));
    IniReader file;
    ASSERT_TRUE(file.Open(dir.File("Other.Txt")));
    EXPECT_EQ(file.ReadString("Button_Ok"), "Fine");
    EXPECT_EQ(
        file.ReadString("Msg_QuitWithPodcastDownloading"),
        "Des fichiers de podcast sont en téléchargement.%w%Voulez-vous vraiment quitter ? (Fr)");
    EXPECT_EQ(Lng_CurrentLanguage(), "LineBreaksAndPlaceholders");
    EXPECT_EQ(Lng(L_Msg_QuitWithPodcastDownloading), "Podcasts are downloading.\r\nQuit anyway?");
    ASSERT_TRUE(UpdateLanguageFileFor(dir.Path(), "Brand new"));
    ASSERT_TRUE(file.Open(dir.File("Brand new.Txt")));
    EXPECT_EQ(file.ReadString("Button_Ok"), "Ok (Fr)");
}
