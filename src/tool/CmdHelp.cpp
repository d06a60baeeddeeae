// orvalis-tool help keys LANGUAGE SECTION [LANGFOLDER]: the key lists of the help pages,
// made from the program's own shortcut table and fixed keys, so the help never drifts
// from the program. LANGUAGE "fr" (or empty) is the built-in French; any other name loads
// LANGFOLDER/<LANGUAGE>.Txt (default: the Lang folder beside the tool). SECTION: "window"
// (the configurable shortcuts), "fixed" (the keys of the main window), "global" (the
// system-wide keys), "menus" (the keys of the menu bar), "tree", "list" or "view" (the keys that
// act in one zone). Prints one HTML table with header cells.
#include <unistd.h>

#include <cctype>
#include <climits>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "platform/core/FileUtil.h"
#include "access/core/Shortcuts.h"
#include "platform/core/Text.h"
#include "shell/base/Lng.h"
#include "shell/base/LngState.h"
#include "shell/core/MainCommands.h"
#include "shell/core/Mnemonics.h"
#include "tool/ToolCommand.h"

namespace {
bool g_french = true;

// The texts of the help that are no menu entry. French first, then English.
const char* T(const char* fr, const char* en) {
    return g_french ? fr : en;
}

std::string Plain(const std::string& label) {
    std::string out;
    for (size_t i = 0; i < label.size(); ++i) {
        if (label[i] == '&' && i + 1 < label.size() && label[i + 1] != '&') continue;
        out += label[i];
    }
    return out;
}

std::string Html(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else
            out += c;
    }
    return out;
}

// What a key of the main window does, in the words of its menu entry where it has one.
std::string CommandLabel(int command) {
    switch (command) {
    case CMD_FEED_PROPERTIES:
        return Lng(L_PopMenu_EditRss);
    case CMD_ARTICLE_READ_OR_PLAY:
        return T("Lire l'article, écouter le podcast ou la radio, ou faire une pause",
                 "Read the article, listen to the podcast or the radio, or pause");
    case CMD_OPEN_BROWSER:
        return T("Ouvrir le groupe, ou ouvrir le flux ou l'article dans le navigateur",
                 "Open the group, or open the feed or the article in the browser");
    case CMD_NEXT_ZONE:
        return T("Zone suivante (arborescence, liste, texte)", "Next zone (tree, list, text)");
    case CMD_PREVIOUS_ZONE:
        return T("Zone précédente", "Previous zone");
    case CMD_HELP_CONTEXT:
        return T("Aide de la zone où se trouve le focus", "Help on the zone that has the focus");
    case CMD_DEBUG_FEED:
        return T("Écrire le flux sélectionné dans DebogFile.Txt",
                 "Write the selected feed to DebogFile.Txt");
    case CMD_DEBUG_ARTICLE:
        return T("Écrire le flux et l'article sélectionnés dans DebogFile.Txt",
                 "Write the selected feed and article to DebogFile.Txt");
    case CMD_PODCAST_DOWNLOAD:
        return Lng(L_PopMenu_DownloadPodcast);
    case CMD_NEW_FEED:
        return Lng(L_Menu_NewRss);
    case CMD_FIND:
        return Lng(L_Menu_Find);
    case CMD_FIND_NEXT:
        return Lng(L_Menu_FindNext);
    case CMD_FIND_PREVIOUS:
        return Lng(L_Menu_FindPrevious);
    case CMD_DELETE:
        return T("Supprimer le flux (arborescence) ou l'article (liste)",
                 "Delete the feed (tree) or the article (list)");
    case CMD_FOCUS_TOGGLE:
        return Lng(L_Menu_FocusToggle);
    case CMD_TEMPO_SLOW:
        return T("Débit audio lent", "Slow playback speed");
    case CMD_TEMPO_NORMAL:
        return T("Débit audio normal", "Normal playback speed");
    case CMD_TEMPO_QUICK1:
        return T("Débit audio rapide", "Fast playback speed");
    case CMD_TEMPO_QUICK2:
        return T("Débit audio plus que rapide", "Faster playback speed");
    case CMD_TEMPO_QUICK3:
        return T("Débit audio très rapide", "Fastest playback speed");
    case CMD_AUDIO_BACKWARD:
        return Lng(L_Menu_Audio_BackWard);
    case CMD_AUDIO_FORWARD:
        return Lng(L_Menu_Audio_ForWard);
    case CMD_AUDIO_VOLUMEUP:
        return Lng(L_Menu_VolumeUp);
    case CMD_AUDIO_VOLUMEDOWN:
        return Lng(L_Menu_VolumeDown);
    case CMD_AUDIO_PAUSE:
        return T("Pause ou reprise de la lecture", "Pause or resume playback");
    case CMD_ESCAPE:
        return T("Cacher la fenêtre dans la zone de notification (si les préférences le "
                 "demandent)",
                 "Hide the window in the notification area (when the preferences ask for it)");
    default:
        return {};
    }
}

struct Row {
    std::string Key;
    std::string What;
    int Command = 0;
};

std::vector<Row> WindowRows(int kind) {
    std::vector<Row> rows;
    for (const Shortcut& s : ShortcutList) {
        if (s.Kind != kind) continue;
        const int32_t key = static_cast<int32_t>(ValInt(s.DefaultKey));
        std::string name = key ? KeyName(key) : Lng(L_Key_NoKey);
        rows.push_back({name, Plain(ShortcutLabel(s.Name)), s.EventID});
    }
    return rows;
}

std::vector<Row> FixedRows(bool extended) {
    std::vector<Row> rows;
    const size_t base = MainWindow_FixedAccelerators(false).size();
    const std::vector<FixedAccelerator> keys = MainWindow_FixedAccelerators(true);
    for (size_t i = 0; i < keys.size(); ++i) {
        if ((i >= base) != extended) continue;
        rows.push_back(
            {KeyName(keys[i].Key), Plain(CommandLabel(keys[i].Command)), keys[i].Command});
    }
    if (!extended) rows.push_back({KeyName(27), Plain(CommandLabel(CMD_ESCAPE)), CMD_ESCAPE});
    return rows;
}

// The commands that act in one zone.
std::set<int> ZoneCommands(const std::string& zone) {
    if (zone == "tree")
        return {CMD_FEED_PROPERTIES,      CMD_OPEN_BROWSER, CMD_DELETE,       CMD_FEED_ACTUALIZE,
                CMD_ACTUALIZE_ALL,        CMD_NEW_FEED,     CMD_FOCUS_TOGGLE, CMD_NEXT_ZONE,
                CMD_PREVIOUS_ZONE,        CMD_FOCUS_LIST,   CMD_FOCUS_VIEW,   CMD_HELP_CONTEXT,
                CMD_ARTICLE_READ_OR_PLAY, CMD_DEBUG_FEED};
    if (zone == "list")
        return {CMD_ARTICLE_READ_OR_PLAY,
                CMD_OPEN_BROWSER,
                CMD_PODCAST_DOWNLOAD,
                CMD_DELETE,
                CMD_FIND,
                CMD_FIND_NEXT,
                CMD_FIND_PREVIOUS,
                CMD_NEXT_UNREAD,
                CMD_PREV_UNREAD,
                CMD_ARTICLE_TOGGLE_READ,
                CMD_GROUP_UNREAD,
                CMD_ONLY_UNREAD,
                CMD_FOCUS_TOGGLE,
                CMD_NEXT_ZONE,
                CMD_PREVIOUS_ZONE,
                CMD_FOCUS_TREE,
                CMD_FOCUS_VIEW,
                CMD_HELP_CONTEXT,
                CMD_DEBUG_ARTICLE};
    return {CMD_READABILITY, CMD_NEXT_ZONE,    CMD_PREVIOUS_ZONE,        CMD_FOCUS_TREE,
            CMD_FOCUS_LIST,  CMD_HELP_CONTEXT, CMD_ARTICLE_READ_OR_PLAY, CMD_OPEN_BROWSER};
}

void PrintTable(const std::string& caption, const std::vector<Row>& rows,
                const char* what = nullptr) {
    std::printf("<table>\n<caption>%s</caption>\n", Html(caption).c_str());
    std::printf("<thead><tr><th scope=\"col\">%s</th><th scope=\"col\">%s</th></tr></thead>\n",
                T("Touche", "Key"), what ? what : T("Action", "Action"));
    std::printf("<tbody>\n");
    for (const Row& r : rows) {
        // "Pas de touche" is no key: plain text, not a key to press.
        const bool key = r.Key != Lng(L_Key_NoKey);
        std::printf("<tr><td>%s%s%s</td><td>%s</td></tr>\n", key ? "<kbd>" : "",
                    Html(r.Key).c_str(), key ? "</kbd>" : "", Html(r.What).c_str());
    }
    std::printf("</tbody>\n</table>\n");
}

int CmdHelp(const std::vector<std::string>& args) {
    if (args.size() < 3 || args.size() > 4 || args[0] != "keys")
        return Tool_Fail("usage: orvalis-tool help keys LANGUAGE SECTION [LANGFOLDER]", 2);
    const std::string& language = args[1];
    const std::string& section = args[2];
    g_french = language.empty() || language == "fr" || EqualsNoCase(language, "Francais");
    if (!g_french) {
        std::string folder;
        if (args.size() == 4) {
            folder = args[3];
        } else {
            folder = Program_File();
            folder = folder.substr(0, folder.rfind('/') + 1) + "Lang/";
        }
        LoadLanguage(language, folder);
    }
    RegisterShortcuts();
    if (section == "window") {
        PrintTable(T("Raccourcis de la fenêtre principale (modifiables dans les préférences)",
                     "Main window shortcuts (they can be changed in the preferences)"),
                   WindowRows(SHORTCUT_WINDOW));
    } else if (section == "global") {
        PrintTable(T("Raccourcis globaux, actifs depuis toute application",
                     "Global shortcuts, active from any application"),
                   WindowRows(SHORTCUT_GLOBAL));
    } else if (section == "fixed") {
        PrintTable(T("Touches fixes de la fenêtre principale", "Fixed keys of the main window"),
                   FixedRows(false));
        PrintTable(T("Touches ajoutées par l'option « Raccourcis étendus »",
                     "Keys added by the \"extended shortcuts\" option"),
                   FixedRows(true));
    } else if (section == "menus") {
        // The menu bar's titles get their mnemonics by the same rule when it is built.
        const std::vector<std::string> titles = Mnemonics_Assign(
            {Lng(L_Menu_File), Lng(L_Menu_Rss), Lng(L_Menu_Feed), Lng(L_Menu_Audio),
             Lng(L_Menu_Podcast), Lng(L_Menu_Display), Lng(L_Menu_Help)},
            true);
        std::vector<Row> rows;
        for (const std::string& t : titles) {
            const char m = Mnemonic_Of(t);
            const std::string key =
                m ? std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(m))))
                  : "";
            rows.push_back({m ? "Alt+" + key : std::string(), Plain(t), 0});
        }
        PrintTable(T("Ouvrir un menu", "Opening a menu"), rows, "Menu");
    } else if (section == "tree" || section == "list" || section == "view") {
        const std::set<int> wanted = ZoneCommands(section);
        std::vector<Row> rows;
        for (const std::vector<Row>& part : {FixedRows(false), WindowRows(SHORTCUT_WINDOW)})
            for (const Row& r : part)
                if (wanted.count(r.Command) && r.Key != Lng(L_Key_NoKey)) rows.push_back(r);
        PrintTable(T("Touches de cette zone", "Keys of this zone"), rows);
    } else {
        return Tool_Fail("unknown section \"" + section + "\"", 2);
    }
    return 0;
}

ToolCommand reg("help", "help keys LANGUAGE SECTION [LANGFOLDER]", &CmdHelp);
} // namespace
