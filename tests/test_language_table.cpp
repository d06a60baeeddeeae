// The built-in text table: its size, keys and French texts.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "shell/base/Lng.h"
#include "shell/base/LngTable.h"

TEST(LanguageTable, HoldsFiveHundredFortyNineEntriesAndTheClosingPair) {
    EXPECT_EQ(L_Count, 549);
    EXPECT_STREQ(LngTable[L_Count].Key, "");
    EXPECT_STREQ(LngTable[L_Count].FrenchText, "");
}

TEST(LanguageTable, EveryEntryHasAFrenchText) {
    for (int i = 0; i < L_Count; ++i)
        EXPECT_STRNE(LngTable[i].FrenchText, "") << "entry " << i;
}

TEST(LanguageTable, OnlyTheAutoriserEntryHasAnEmptyKey) {
    for (int i = 0; i < L_Count; ++i) {
        if (i == L_Autoriser) {
            EXPECT_STREQ(LngTable[i].Key, "");
            EXPECT_STREQ(LngTable[i].FrenchText, "Autoriser");
        } else {
            EXPECT_STRNE(LngTable[i].Key, "") << "entry " << i;
        }
    }
}

TEST(LanguageTable, OnlyDisableRssKeyOccursTwiceWithTwoDifferentTexts) {
    std::set<std::string> seen;
    int doubles = 0;
    for (int i = 0; i < L_Count; ++i) {
        if (!*LngTable[i].Key) continue;
        if (!seen.insert(LngTable[i].Key).second) {
            ++doubles;
            EXPECT_STREQ(LngTable[i].Key, "EditRss_CheckBox_DisableRss");
        }
    }
    EXPECT_EQ(doubles, 1);
    EXPECT_STRNE(Lng_French(L_EditRss_CheckBox_DisableRss),
                 Lng_French(L_EditRss_CheckBox_DisableRss2));
}

TEST(LanguageTable, KnownTextsSitUnderTheirKeys) {
    struct Row {
        LngEntry Entry;
        const char* Key;
        const char* Text;
    };
    const Row rows[] = {
        {L_Audio_InPause, "Audio_InPause", "En pause"},
        {L_Button_Cancel, "Button_Cancel", "&Annuler"},
        {L_Say_NotFound, "Say_NotFound", "Non trouvé !"},
        {L_Month_Feb, "Month_Feb", "Février"},
        {L_Day_Sun, "Day_Sun", "Dimanche"},
        {L_Sufix_Disabled, "Sufix_Disabled", " désactivé !"},
        {L_Duration_AudioTime, "Duration_AudioTime", "%dt%dmm%dss"},
        // Spelled with a lower-case r in this table only.
        {L_Shortcut_OnlyUnreaded, "Shortcut_OnlyUnreaded", "Seulement les non-lus"},
        {L_GlobalShortcut_AudioVolumeDown, "GlobalShortcut_AudioVolumeDown",
         "Global Audio réduire volume"},
    };
    for (const Row& r : rows) {
        EXPECT_STREQ(Lng_Key(r.Entry), r.Key);
        EXPECT_STREQ(Lng_French(r.Entry), r.Text);
    }
}
