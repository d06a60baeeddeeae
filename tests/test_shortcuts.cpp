// Shortcut records, key values and names, the editor's rules and the stored keys.
#include <gtest/gtest.h>

#include "access/core/Shortcuts.h"
#include "shell/base/IniFile.h"
#include "shell/base/Lng.h"
#include "shell/base/Prefs.h"
#include "support/TestSupport.h"

namespace {
void FreshRegistry() {
    ShortcutList.clear();
    RegisterShortcuts();
}

int RowOf(const ShortcutEditorState& st, int32_t eventID) {
    for (size_t i = 0; i < st.Working.size(); ++i)
        if (st.Working[i].EventID == eventID) return static_cast<int>(i);
    return -1;
}

int ChoiceOf(const ShortcutEditorState& st, int code) {
    for (size_t i = 0; i < st.KeyChoices.size(); ++i)
        if (st.KeyChoices[i].Code == code) return static_cast<int>(i);
    return -1;
}

ShortcutEditorState OpenEditor() {
    ShortcutEditorState st;
    ShortcutEditor("fillkey", st);
    ShortcutEditor("filllist", st);
    return st;
}

// Selects the row of `eventID` and sets the controls to `value`, as the user would.
void Choose(ShortcutEditorState& st, int32_t eventID, int32_t value) {
    st.Selected = RowOf(st, eventID);
    st.Alt = value & KEYMOD_ALT;
    st.Control = value & KEYMOD_CONTROL;
    st.Shift = value & KEYMOD_SHIFT;
    st.Win = value & KEYMOD_WIN;
    st.KeyChoice = ChoiceOf(st, value & 0xFF);
}
} // namespace

TEST(ShortcutRecords, RegistrationGivesThirtyThreeRecordsInOrder) {
    FreshRegistry();
    ASSERT_EQ(ShortcutList.size(), 33u);
    const Shortcut& first = ShortcutList[0];
    EXPECT_EQ(first.Name, "Shortcut_ActualizeRss");
    EXPECT_EQ(first.EventID, 66);
    EXPECT_EQ(first.Key, "116");
    EXPECT_EQ(first.DefaultKey, "116");
    EXPECT_EQ(first.Menu, 388);
    EXPECT_EQ(first.Window, 0);
    EXPECT_EQ(ShortcutList[1].Name, "Shortcut_ToggleReaded");
    EXPECT_EQ(ShortcutList[1].Key, std::to_string(0x20020));
    EXPECT_EQ(ShortcutList[1].Menu, 428);
    EXPECT_EQ(ShortcutList[25].Name, "Shortcut_FocusToView");
    EXPECT_EQ(ShortcutList[25].Key, "51");
    EXPECT_EQ(ShortcutList[26].Name, "GlobalShortcut_QuickMenu");
    EXPECT_EQ(ShortcutList[26].EventID, 26);
    EXPECT_EQ(ShortcutList[26].Key, std::to_string(0x60056));
    EXPECT_EQ(ShortcutList[32].Name, "GlobalShortcut_AudioVolumeDown");
    EXPECT_EQ(ShortcutList[32].Key, "0");
    for (size_t i = 0; i < ShortcutList.size(); ++i) {
        EXPECT_EQ(ShortcutList[i].Kind, i < 26 ? SHORTCUT_WINDOW : SHORTCUT_GLOBAL) << i;
        if (i >= 26) {
            EXPECT_EQ(ShortcutList[i].Menu, 474);
        }
    }
}

TEST(ShortcutRecords, ASecondRecordWithTheSameNumberOrNameIsIgnored) {
    FreshRegistry();
    AddQN_KeyboardShortcut("Shortcut_Other", 66, 0, 1, 40);       // same event number
    AddQN_GlobalShortcut("shortcut_actualizerss", 999, 0, 1, 40); // same name, other case
    RegisterShortcuts();                                          // registering again
    EXPECT_EQ(ShortcutList.size(), 33u);
    AddQN_GlobalShortcut("GlobalShortcut_New", 999, 0, 0x20041, 474);
    ASSERT_EQ(ShortcutList.size(), 34u);
    EXPECT_EQ(ShortcutList.back().Kind, SHORTCUT_GLOBAL);
    EXPECT_EQ(ShortcutList.back().Key, std::to_string(0x20041));
}

TEST(ShortcutKeyNames, KeysWithoutTranslatedTextsAreSpelledByRule) {
    struct Row {
        int32_t value;
        const char* name;
    } rows[] = {
        {'A', "A"},    // letters as themselves
        {'Z', "Z"},    // last letter
        {'0', "0"},    // digits as themselves
        {96, "Pad0"},  // numeric pad
        {105, "Pad9"}, // last pad digit
        {112, "F1"},   // function keys
        {135, "F24"},  // last function key
        {0, ""},       // no key
        {186, ""},     // a code without a name gives no text
        {145, ""},     // Scroll Lock is not among the named keys
    };
    for (const Row& r : rows)
        EXPECT_EQ(KeyName(r.value), r.name) << r.value;
}

TEST(ShortcutKeyNames, ModifiersComeFirstInAFixedOrder) {
    std::string alt = Lng(L_Key_Alt) + "+", ctl = Lng(L_Key_Control) + "+",
                shift = Lng(L_Key_Shift) + "+", win = Lng(L_Key_Win) + "+";
    EXPECT_EQ(KeyName(0x60056), alt + ctl + "V");
    EXPECT_EQ(KeyName(0x30055), ctl + shift + "U");
    EXPECT_EQ(KeyName(0x170041), alt + ctl + shift + win + "A");
    EXPECT_EQ(KeyName(KEYMOD_SHIFT), shift); // modifiers alone
    EXPECT_EQ(KeyName(0x20000 | 186), ctl);  // unnamed key: only the prefixes
    EXPECT_EQ(KeyName(0x10074), shift + "F5");
    EXPECT_EQ(KeyName(8), Lng(L_Key_Back));
    EXPECT_EQ(KeyName(144), Lng(L_Key_NumLck));
}

TEST(ShortcutEditorRules, TheListShowsWindowShortcutsThenHotKeysAndSelectsTheFirst) {
    ShortcutList.clear();
    AddQN_GlobalShortcut("GlobalShortcut_AudioMute", 34, 0, 0, 474);
    AddQN_KeyboardShortcut("Shortcut_AudioMute", 112, 0, 118, 40);
    AddQN_KeyboardShortcut("Shortcut_Elsewhere", 5000, 1, 118, 40); // another window
    ShortcutEditorState st = OpenEditor();
    ASSERT_EQ(st.Working.size(), 2u);
    EXPECT_EQ(st.Working[0].EventID, 112);
    EXPECT_EQ(st.Working[1].EventID, 34);
    EXPECT_EQ(st.Selected, 0);
    EXPECT_EQ(st.Rows[0], ShortcutLabel("Shortcut_AudioMute") + "=F7");
    EXPECT_EQ(st.Rows[1], ShortcutLabel("GlobalShortcut_AudioMute") + "=");
}

TEST(ShortcutEditorRules, TheKeyChoiceStartsWithNoKeyAndListsNamedCodes) {
    ShortcutEditorState st = OpenEditor();
    ASSERT_FALSE(st.KeyChoices.empty());
    EXPECT_EQ(st.KeyChoices[0].Code, 0);
    EXPECT_EQ(st.KeyChoices[0].Text, Lng(L_Key_NoKey));
    EXPECT_GE(ChoiceOf(st, 'A'), 1);
    EXPECT_GE(ChoiceOf(st, 135), 1);
    EXPECT_EQ(ChoiceOf(st, 186), -1); // nameless codes are not offered
    for (size_t i = 1; i < st.KeyChoices.size(); ++i)
        EXPECT_GT(st.KeyChoices[i].Code, st.KeyChoices[i - 1].Code);
}

TEST(ShortcutEditorRules, SelectingARowSetsTheCheckBoxesAndKey) {
    FreshRegistry();
    ShortcutEditorState st = OpenEditor();
    st.Selected = RowOf(st, 26); // Control+Alt+V
    ASSERT_EQ(ShortcutEditor("setcheckbox", st), 1);
    EXPECT_TRUE(st.Alt);
    EXPECT_TRUE(st.Control);
    EXPECT_FALSE(st.Shift);
    EXPECT_FALSE(st.Win);
    EXPECT_EQ(st.KeyChoices[st.KeyChoice].Code, 'V');
}

TEST(ShortcutEditorRules, AKeyUsedByAnotherRowIsRefused) {
    FreshRegistry();
    ShortcutEditorState st = OpenEditor();
    Choose(st, 68, 116); // Shift+F5 row gets F5, which "Shortcut_ActualizeRss" holds
    EXPECT_EQ(ShortcutEditor("change", st), 0);
    EXPECT_EQ(st.Error, Lng(L_Msg_ExistShortcut) + "\r\n" + ShortcutLabel("Shortcut_ActualizeRss"));
    EXPECT_EQ(st.ErrorTitle, Lng(L_Request_Error));
    EXPECT_EQ(st.Working[RowOf(st, 68)].Key, std::to_string(0x10074));
    EXPECT_FALSE(st.FocusList);
}

TEST(ShortcutEditorRules, ModifiersWithoutAKeyAreRefused) {
    FreshRegistry();
    ShortcutEditorState st = OpenEditor();
    Choose(st, 66, KEYMOD_CONTROL);
    EXPECT_EQ(ShortcutEditor("change", st), 0);
    EXPECT_EQ(st.Error, Lng(L_Msg_NoKeySelected));
    EXPECT_EQ(st.Working[RowOf(st, 66)].Key, "116");
}

TEST(ShortcutEditorRules, ClearingNeverConflictsAndAFreeKeyIsAccepted) {
    FreshRegistry();
    ShortcutEditorState st = OpenEditor();
    Choose(st, 66, 0); // clear F5
    EXPECT_EQ(ShortcutEditor("change", st), 1);
    Choose(st, 112, 0); // clear F7: two rows at 0 do not conflict
    EXPECT_EQ(ShortcutEditor("change", st), 1);
    Choose(st, 68, 116); // now F5 is free
    EXPECT_EQ(ShortcutEditor("change", st), 1);
    EXPECT_TRUE(st.FocusList);
    EXPECT_EQ(st.Selected, RowOf(st, 68));
    EXPECT_EQ(st.Rows[st.Selected], ShortcutLabel("Shortcut_ActualizeAllRss") + "=F5");
    Choose(st, 68, 116); // giving a row its own key again is no conflict
    EXPECT_EQ(ShortcutEditor("change", st), 1);
    // Nothing reaches the records before "update".
    EXPECT_EQ(Shortcut_Find(68)->Key, std::to_string(0x10074));
    ShortcutEditor("update", st);
    EXPECT_EQ(Shortcut_Find(68)->Key, "116");
    EXPECT_EQ(Shortcut_Find(66)->Key, "0");
    EXPECT_EQ(Shortcut_Find(66)->DefaultKey, "116");
}

TEST(ShortcutStoredKeys, KeysSurviveAPreferencesRoundTrip) {
    FreshRegistry();
    Shortcut_Find(66)->Key = "0";
    Shortcut_Find(34)->Key = std::to_string(0x60000 | 'M');
    IniWriter w;
    w.Group("Main");
    SaveShortcutKeys(w);
    EXPECT_NE(w.Bytes().find("Shortcut_ActualizeRss = 0\r\n"), std::string::npos);
    EXPECT_NE(w.Bytes().find("GlobalShortcut_AudioMute = 393293\r\n"), std::string::npos);

    FreshRegistry(); // all back to defaults
    IniReader r;
    r.LoadBytes(w.Bytes());
    ASSERT_TRUE(r.SelectGroup("Main"));
    LoadShortcutKeys(r);
    EXPECT_EQ(Shortcut_Find(66)->Key, "0");
    EXPECT_EQ(Shortcut_Find(34)->Key, "393293");
    EXPECT_EQ(Shortcut_Find(68)->Key, std::to_string(0x10074));
}

TEST(ShortcutStoredKeys, AbsentKeysTakeTheirDefaults) {
    FreshRegistry();
    IniReader r;
    r.LoadBytes("\xEF\xBB\xBF[Main]\r\nshortcut_audiomute = 120\r\n");
    r.SelectGroup("Main");
    for (Shortcut& s : ShortcutList)
        s.Key = "1";
    LoadShortcutKeys(r);
    EXPECT_EQ(Shortcut_Find(112)->Key, "120"); // keys compare without case
    EXPECT_EQ(Shortcut_Find(66)->Key, "116");
    EXPECT_EQ(Shortcut_Find(26)->Key, std::to_string(0x60056));
}

TEST(ShortcutHotKeys, EachIdentifierRaisesItsWindowCommand) {
    struct Row {
        int id, command;
    } rows[] = {{26, 142}, {28, 114}, {30, 120}, {32, 122},
                {34, 112}, {36, 124}, {38, 126}, {40, 0}};
    for (const Row& r : rows)
        EXPECT_EQ(HotKey_Command(r.id), r.command) << r.id;
}

TEST(ShortcutKeyNames, FrenchNamesAsTheUserReadsThem) {
    struct Row {
        int32_t value;
        const char* name;
    } rows[] = {
        {0x60056, "Alt+Control+V"},               // the quick menu's hot key
        {0x10074, "Maj+F5"},                      // Shift is "Maj"
        {0x120000 | 13, "Control+Window+Entrée"}, // Windows key after the others
        {8, "RetourArrière"},                     // Backspace
        {0x20020, "Control+Espace"},              // Space
        {33, "Précédent"},                        // Page Up
        {34, "Suivant"},                          // Page Down
        {44, "ImprimeEcran"},                     // Print Screen
        {93, "Application"},                      // the context-menu key
        {108, "Séparateur"},                      // pad separator
        {144, "VérrouillageNumérique"},           // Num Lock
        {0x40000 | 145, "Alt+"},                  // Scroll Lock has no name here
    };
    for (const Row& r : rows)
        EXPECT_EQ(KeyName(r.value), r.name) << r.value;
}

TEST(ShortcutLabels, LabelsComeFromTheTextTable) {
    EXPECT_EQ(ShortcutLabel("Shortcut_ActualizeRss"), "Actualiser les flux");
    EXPECT_EQ(ShortcutLabel("Shortcut_OnlyUnReaded"), "Seulement les non-lus");
    EXPECT_EQ(ShortcutLabel("Shortcut_FocusToList"), "Foscus sur les articles");
    EXPECT_EQ(ShortcutLabel("GlobalShortcut_AudioVolumeDown"), "Global Audio réduire volume");
    EXPECT_EQ(ShortcutLabel("Shortcut_ToggleReaded"), "Bascule lu/non-lu");
}

TEST(ShortcutEditorRules, RefusalsSpeakFrench) {
    FreshRegistry();
    ShortcutEditorState st = OpenEditor();
    EXPECT_EQ(st.KeyChoices[0].Text, "Pas de touche");
    EXPECT_EQ(st.Rows[0], "Actualiser les flux=F5");
    Choose(st, 68, 116);
    ShortcutEditor("change", st);
    EXPECT_EQ(st.Error, "Ce raccourcis est utilisé par \r\nActualiser les flux");
    EXPECT_EQ(st.ErrorTitle, "Erreur");
    Choose(st, 68, KEYMOD_ALT);
    ShortcutEditor("change", st);
    EXPECT_EQ(st.Error, "Veuillez sélectionner une touche");
}

TEST(ShortcutStoredKeys, KeysSurviveTheOrvalisIniRoundTrip) {
    TempDir dir;
    FreshRegistry();
    Shortcuts_Install();
    Pref_Defaults();
    Shortcut_FindByName("GlobalShortcut_AudioPause")->Key = std::to_string(0x60000 | 'P');
    Shortcut_FindByName("Shortcut_FocusToTree")->Key = "0";
    ASSERT_TRUE(Pref_SaveTo(dir.File("Orvalis.ini"), 1));
    std::string bytes = ReadFileOrEmpty(dir.File("Orvalis.ini"));
    EXPECT_NE(bytes.find("GlobalShortcut_AudioPause = 393296\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("Shortcut_FocusToTree = 0\r\n"), std::string::npos);

    FreshRegistry();
    Pref_Charge(dir.File("Orvalis.ini"), 1);
    EXPECT_EQ(Shortcut_FindByName("GlobalShortcut_AudioPause")->Key, "393296");
    EXPECT_EQ(Shortcut_FindByName("Shortcut_FocusToTree")->Key, "0");
    EXPECT_EQ(Shortcut_FindByName("Shortcut_FocusToList")->Key, "50");
}
