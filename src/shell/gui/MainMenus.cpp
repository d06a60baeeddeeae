#include "shell/gui/MainMenus.h"

#include <string>
#include <vector>

#include <wx/menu.h>

#include "catalogue/core/Records.h"
#include "shell/base/Lng.h"
#include "shell/core/MainCommands.h"
#include "shell/core/MainView.h"
#include "shell/base/Prefs.h"
#include "shell/core/Mnemonics.h"
#include "shell/core/Startup.h"

static wxString W(const std::string& s) {
    return wxString::FromUTF8(s);
}

static void Add(wxMenu* m, int id, const std::string& label) {
    m->Append(id, W(label));
}

static void AddCheck(wxMenu* m, int id, const std::string& label) {
    m->AppendCheckItem(id, W(label));
}

static std::string U8(const wxString& s) {
    return std::string(s.ToUTF8());
}

// No two entries of `m` (and of each of its submenus) share a mnemonic.
static void UniqueMnemonics(wxMenu* m) {
    std::vector<wxMenuItem*> items;
    std::vector<std::string> labels, keys;
    for (wxMenuItem* item : m->GetMenuItems()) {
        if (item->IsSeparator()) continue;
        if (item->IsSubMenu()) UniqueMnemonics(item->GetSubMenu());
        const std::string full = U8(item->GetItemLabel());
        const size_t tab = full.find('\t');
        items.push_back(item);
        labels.push_back(full.substr(0, tab));
        keys.push_back(tab == std::string::npos ? std::string() : full.substr(tab));
    }
    const std::vector<std::string> fixed = Mnemonics_Assign(labels, false);
    for (size_t i = 0; i < items.size(); ++i)
        if (fixed[i] != labels[i]) items[i]->SetItemLabel(W(fixed[i] + keys[i]));
}

static wxMenu* Unique(wxMenu* m) {
    UniqueMnemonics(m);
    return m;
}

static std::string TreeWidthLabel() {
    return Lng(L_Menu_ArboWidth, std::to_string(Pref.ArboWidth));
}

wxMenuBar* MainMenus_CreateBar(bool bankMode, bool convertMode) {
    auto* bar = new wxMenuBar;

    auto* file = new wxMenu;
    auto* opml = new wxMenu;
    Add(opml, CMD_OPML_IMPORT, Lng(L_Menu_ImportOPML));
    Add(opml, CMD_OPML_EXPORT_ALL, Lng(L_Menu_ExportOPML));
    Add(opml, CMD_OPML_EXPORT_GROUP, Lng(L_Menu_ExportOneGroupOPML));
    Add(opml, CMD_OPML_EXPORT_EACH_GROUP, Lng(L_Menu_ExportAllGroupOPML));
    file->AppendSubMenu(opml, W(Lng(L_Menu_OPML)));
    if (!bankMode) {
        auto* config = new wxMenu;
        Add(config, CMD_CONFIG_LOAD, Lng(L_Menu_ConfigLoad));
        Add(config, CMD_CONFIG_SAVE, Lng(L_Menu_ConfigSave));
        Add(config, CMD_CONFIG_SAVE_ARCHIVE, Lng(L_Menu_ConfigZipSave));
        file->AppendSubMenu(config, W(Lng(L_Menu_Config)));
    }
    auto* extract = new wxMenu;
    Add(extract, CMD_EXTRACT_URL_FILTERED, Lng(L_Menu_ImportRssOfUrlLimited));
    Add(extract, CMD_EXTRACT_URL, Lng(L_Menu_ImportRssOfUrl));
    file->AppendSubMenu(extract, W(Lng(L_Menu_Extract)));
    auto* bank = new wxMenu;
    Add(bank, CMD_BANK_OFFER, Lng(L_Menu_ShareNewRss));
    if (!bankMode) Add(bank, CMD_BANK_CLIPBOARD, Lng(L_Menu_GetRssFromClipboard));
    Add(bank, CMD_BANK_UPDATE, Lng(L_Menu_UpdateDBRss));
    file->AppendSubMenu(bank, W(Lng(L_Menu_DBase)));
    file->AppendSeparator();
    Add(file, CMD_PREFS, Lng(L_Menu_Prefs));
    file->AppendSeparator();
    Add(file, CMD_QUIT, Lng(L_Menu_Quit));
    bar->Append(file, W(Lng(L_Menu_File)));

    auto* feeds = new wxMenu;
    Add(feeds, CMD_ADD_FEEDS, Lng(L_Menu_AddRss));
    Add(feeds, CMD_ADD_RADIOS, Lng(L_Menu_AddRssRadio));
    Add(feeds, CMD_ADD_PODCASTS, Lng(L_Menu_AddRssPodcast));
    Add(feeds, CMD_CHECK_OBSOLETE, Lng(L_Menu_CheckGoodRss));
    feeds->AppendSeparator();
    Add(feeds, CMD_ACTUALIZE_ALL, Lng(L_Menu_ActualizeAll));
    Add(feeds, CMD_STOP_ACTUALIZE, Lng(L_Menu_StopActualizeRss));
    feeds->AppendSeparator();
    Add(feeds, CMD_NEW_FEED, Lng(L_Menu_NewRss) + "\tCtrl+N");
    Add(feeds, CMD_NEW_DAILYMOTION, Lng(L_Menu_NewRssDailyMotion));
    Add(feeds, CMD_NEW_YOUTUBE, Lng(L_Menu_NewRssYouTube));
    if (convertMode) Add(feeds, CMD_CONVERT_YOUTUBE, "Convertir les URLs de Youtube V3");
    bar->Append(feeds, W(Lng(L_Menu_Rss)));

    auto* article = new wxMenu;
    Add(article, CMD_FIND, Lng(L_Menu_Find) + "\tCtrl+F");
    Add(article, CMD_FIND_NEXT, Lng(L_Menu_FindNext) + "\tF3");
    Add(article, CMD_FIND_PREVIOUS, Lng(L_Menu_FindPrevious) + "\tShift+F3");
    article->AppendSeparator();
    Add(article, CMD_NEXT_UNREAD, Lng(L_Menu_NextUnreaded));
    Add(article, CMD_PREV_UNREAD, Lng(L_Menu_PrevUnreaded));
    bar->Append(article, W(Lng(L_Menu_Feed)));

    auto* audio = new wxMenu;
    Add(audio, CMD_AUDIO_STOP, Lng(L_Menu_Stop));
    Add(audio, CMD_AUDIO_MUTE, Lng(L_Menu_Mute));
    Add(audio, CMD_AUDIO_PLAY, Lng(L_Menu_Pause));
    Add(audio, CMD_AUDIO_VOLUMEUP, Lng(L_Menu_VolumeUp));
    Add(audio, CMD_AUDIO_VOLUMEDOWN, Lng(L_Menu_VolumeDown));
    Add(audio, CMD_AUDIO_BACKWARD, Lng(L_Menu_Audio_BackWard));
    Add(audio, CMD_AUDIO_FORWARD, Lng(L_Menu_Audio_ForWard));
    Add(audio, CMD_AUDIO_BACKNORMAL, Lng(L_Menu_Audio_BackNormal));
    auto* tempo = new wxMenu;
    Add(tempo, CMD_TEMPO_NORMAL, Lng(L_Menu_TempoNormal));
    Add(tempo, CMD_TEMPO_SLOW, Lng(L_Menu_TempoSLow1));
    Add(tempo, CMD_TEMPO_QUICK1, Lng(L_Menu_TempoQuick1));
    Add(tempo, CMD_TEMPO_QUICK2, Lng(L_Menu_TempoQuick2));
    Add(tempo, CMD_TEMPO_QUICK3, Lng(L_Menu_TempoQuick3));
    Add(tempo, CMD_TEMPO_UP, Lng(L_Menu_TempoUp));
    Add(tempo, CMD_TEMPO_DOWN, Lng(L_Menu_TempoDown));
    audio->AppendSubMenu(tempo, W(Lng(L_Menu_Tempo)));
    Add(audio, CMD_QUICK_MENU, Lng(L_Menu_QuickMenu));
    bar->Append(audio, W(Lng(L_Menu_Audio)));

    auto* podcast = new wxMenu;
    Add(podcast, CMD_PODCAST_COPY, Lng(L_Menu_CopyPod));
    Add(podcast, CMD_PODCAST_SYNC, Lng(L_Menu_SyncPod));
    Add(podcast, CMD_EXPLORE_PODCASTS, Lng(L_Menu_ExplorePodcastFiles));
    Add(podcast, CMD_DOWNLOADS, Lng(L_Menu_DisplayDownload));
    bar->Append(podcast, W(Lng(L_Menu_Podcast)));

    auto* display = new wxMenu;
    auto* marks = new wxMenu;
    AddCheck(marks, CMD_DISPLAY_READ, Lng(L_Menu_DisplayReaded));
    AddCheck(marks, CMD_DISPLAY_UNREAD, Lng(L_Menu_DisplayUnReaded));
    AddCheck(marks, CMD_DISPLAY_CONTENT, Lng(L_Menu_DisplayContent));
    AddCheck(marks, CMD_DISPLAY_VIEWS, Lng(L_Menu_AddViews));
    display->AppendSubMenu(marks, W(Lng(L_Menu_Mark)));
    auto* sort = new wxMenu;
    AddCheck(sort, CMD_SORT_DATE, Lng(L_Menu_SortByDate));
    AddCheck(sort, CMD_SORT_TITLE, Lng(L_Menu_SortByTitle));
    AddCheck(sort, CMD_SORT_DATE_GROUPS, Lng(L_Menu_SortByDateInGroup));
    display->AppendSubMenu(sort, W(Lng(L_Menu_Sort)));
    AddCheck(display, CMD_GROUP_UNREAD, Lng(L_Menu_SortInGroup));
    AddCheck(display, CMD_ONLY_UNREAD, Lng(L_Menu_OnlyUnReaded));
    AddCheck(display, CMD_DISPLAY_HTML, Lng(L_Menu_WebText));
    AddCheck(display, CMD_READABILITY, Lng(L_Menu_FormatText));
    Add(display, CMD_TREE_WIDTH, TreeWidthLabel());
    auto* go = new wxMenu;
    Add(go, CMD_FOCUS_TREE, Lng(L_Menu_FocusToTree));
    Add(go, CMD_FOCUS_LIST, Lng(L_Menu_FocusToList));
    Add(go, CMD_FOCUS_VIEW, Lng(L_Menu_FocusToView));
    Add(go, CMD_FOCUS_TOGGLE, Lng(L_Menu_FocusToggle) + "\tF6");
    display->AppendSubMenu(go, W(Lng(L_Menu_FocusTo)));
    bar->Append(display, W(Lng(L_Menu_Display)));

    auto* help = new wxMenu;
    Add(help, CMD_HELP_CONTEXT, Lng(L_Menu_HelpContext) + "\tF1");
    Add(help, CMD_HELP, Lng(L_Menu_Help));
    Add(help, CMD_HELP_HTML, Lng(L_Menu_HelpHtml));
    Add(help, CMD_CHECK_VERSION, Lng(L_Menu_CheckNewVersion));
    Add(help, CMD_STATISTICS, Lng(L_Menu_Stat));
    // The log window has no key of its own: the menu makes it reachable.
    Add(help, CMD_SHOW_LOG, "Log de " + AppName);
    Add(help, CMD_ABOUT, Lng(L_Menu_About));
    bar->Append(help, W(Lng(L_Menu_Help)));

    // GTK gives the menu bar no key but the labels' mnemonics: each top-level label gets
    // one (its first letter no other label uses) unless its text carries its own.
    std::vector<std::string> titles;
    for (size_t i = 0; i < bar->GetMenuCount(); ++i) {
        titles.push_back(U8(bar->GetMenuLabel(i)));
        UniqueMnemonics(bar->GetMenu(i));
    }
    const std::vector<std::string> withKeys = Mnemonics_Assign(titles, true);
    for (size_t i = 0; i < withKeys.size(); ++i)
        if (withKeys[i] != titles[i]) bar->SetMenuLabel(i, W(withKeys[i]));

    MainMenus_Update(bar, Pref.Display);
    return bar;
}

void MainMenus_Update(wxMenuBar* bar, int32_t display) {
    if (!bar) return;
    static const int toggles[] = {CMD_DISPLAY_READ,     CMD_DISPLAY_UNREAD, CMD_DISPLAY_CONTENT,
                                  CMD_DISPLAY_VIEWS,    CMD_SORT_DATE,      CMD_SORT_TITLE,
                                  CMD_SORT_DATE_GROUPS, CMD_GROUP_UNREAD,   CMD_ONLY_UNREAD,
                                  CMD_DISPLAY_HTML,     CMD_READABILITY};
    for (int id : toggles)
        if (wxMenuItem* item = bar->FindItem(id)) item->Check((display & Display_BitOf(id)) != 0);
    if (wxMenuItem* item = bar->FindItem(CMD_TREE_WIDTH)) item->SetItemLabel(W(TreeWidthLabel()));
}

wxMenu* MainMenus_Group() {
    auto* m = new wxMenu;
    Add(m, CMD_GROUP_RENAME, Lng(L_PopMenu_RenameGroupe));
    Add(m, CMD_POPUP_NEW_FEED, Lng(L_Menu_NewRss));
    auto* custom = new wxMenu;
    Add(custom, CMD_GROUP_FORCE_CATCHTV, "Force les flux indéfinis du groupe en CatchTV");
    Add(custom, CMD_GROUP_FORCE_PODCAST, "Force les flux indéfinis du groupe en Podcast");
    Add(custom, CMD_ALL_FORCE_TEXT, "Force les flux indéfinis de tous les groupes en Text");
    Add(custom, CMD_NEXT_UNDEFINED, "Aller au prochain undéfini");
    Add(custom, CMD_GROUP_MOVE_BY_URL, "Changer le groupe pour une adresse");
    m->AppendSubMenu(custom, "Custom");
    Add(m, CMD_GROUP_DELETE, Lng(L_PopMenu_DelGroup));
    m->AppendSeparator();
    Add(m, CMD_GROUP_DISABLE, Lng(L_PopMenu_DisableGroup));
    Add(m, CMD_GROUP_ENABLE, Lng(L_PopMenu_EnableGroup));
    return Unique(m);
}

// The entries the feed and radio menus share, around the update or listen entry.
static wxMenu* FeedLikeMenu(const Rss& feed, bool radio) {
    auto* m = new wxMenu;
    Add(m, CMD_POPUP_NEW_FEED, Lng(L_Menu_NewRss));
    Add(m, CMD_FEED_PROPERTIES, Lng(L_PopMenu_EditRss) + "\tAlt+Enter");
    Add(m, CMD_FEED_DELETE, Lng(L_PopMenu_DelRss));
    if (radio)
        Add(m, CMD_RADIO_PLAY, Lng(L_PopMenu_PlayRadio) + "\tSpace");
    else
        Add(m, CMD_FEED_ACTUALIZE, Lng(L_PopMenu_ActualizeRss));
    Add(m, CMD_OPEN_BROWSER, Lng(L_PopMenu_OpenRss) + "\tEnter");
    Add(m, CMD_FEED_COPY_LINK, Lng(L_PopMenu_RssURLToCLipBoard));
    Add(m, CMD_FEED_TOGGLE_DISABLE,
        (feed.Flags & RSSFLAG_DISABLE) ? Lng(L_PopMenu_EnableRss) : Lng(L_PopMenu_SetDisableRss));
    Add(m, CMD_FEED_TOGGLE_ALARM,
        (feed.Flags & RSSFLAG_ALARM) ? Lng(L_PopMenu_DisableAlarm) : Lng(L_PopMenu_EnableAlarm));
    return Unique(m);
}

wxMenu* MainMenus_Feed(const Rss& feed) {
    return FeedLikeMenu(feed, false);
}

wxMenu* MainMenus_Radio(const Rss& feed) {
    return FeedLikeMenu(feed, true);
}

wxMenu* MainMenus_Article(const Item& item) {
    auto* m = new wxMenu;
    Add(m, CMD_ARTICLE_READ_OR_PLAY, Lng(L_PopMenu_SayFeed) + "\tSpace");
    Add(m, CMD_OPEN_BROWSER, Lng(L_PopMenu_DisplayFeed) + "\tEnter");
    auto* mark = new wxMenu;
    Add(mark, CMD_ARTICLE_TOGGLE_READ,
        Item_IsUnread(item) ? Lng(L_PopMenu_ToggleAsReaded) : Lng(L_PopMenu_ToggleAsUnreaded));
    Add(mark, CMD_ARTICLE_ALL_UNREAD, Lng(L_PopMenu_SetAllAsUnreade));
    Add(mark, CMD_ARTICLE_ALL_READ, Lng(L_PopMenu_SetAllAsReade));
    m->AppendSubMenu(mark, W(Lng(L_PopMenu_Set)));
    auto* del = new wxMenu;
    Add(del, CMD_ARTICLE_DELETE, Lng(L_PopMenu_DelFeed));
    Add(del, CMD_ARTICLE_DELETE_ALL, Lng(L_PopMenu_DelAllFeed));
    m->AppendSubMenu(del, W(Lng(L_PopMenu_Del)));
    auto* pod = new wxMenu;
    Add(pod, CMD_PODCAST_DOWNLOAD, Lng(L_PopMenu_DownloadPodcast) + "\tShift+Space");
    Add(pod, CMD_PODCAST_PLAY_FILE, Lng(L_PopMenu_Podcast_StartPlayFile));
    Add(pod, CMD_PODCAST_PLAY_LINK, Lng(L_PopMenu_Podcast_StartPlayLink));
    m->AppendSubMenu(pod, W(Lng(L_PopMenu_PodcastOrFile)));
    auto* send = new wxMenu;
    Add(send, CMD_ARTICLE_LINK_CLIPBOARD, Lng(L_PopMenu_FeedURLToClipBoard));
    Add(send, CMD_PODCAST_LINK_CLIPBOARD, Lng(L_PopMenu_PodcastURLToClipBoard));
    Add(send, CMD_SHARE_MAIL, Lng(L_PopMenu_FeedURLToMail));
    Add(send, CMD_SHARE_FACEBOOK, Lng(L_PopMenu_FeedURLToFaceBook));
    Add(send, CMD_SHARE_TWITTER, Lng(L_PopMenu_FeedURLToTwitter));
    m->AppendSubMenu(send, W(Lng(L_PopMenu_SendTo)));
    Add(m, CMD_SUBSCRIBE_CHANNEL, Lng(L_PopMenu_Subscribe));
    return Unique(m);
}

wxMenu* MainMenus_Grouped() {
    auto* m = new wxMenu;
    auto* mark = new wxMenu;
    Add(mark, CMD_ARTICLE_ALL_UNREAD, Lng(L_PopMenu_SetAllAsUnreade));
    Add(mark, CMD_ARTICLE_ALL_READ, Lng(L_PopMenu_SetAllAsReade));
    m->AppendSubMenu(mark, W(Lng(L_PopMenu_Set)));
    auto* del = new wxMenu;
    Add(del, CMD_ARTICLE_DELETE_ALL, Lng(L_PopMenu_DelAllFeed));
    m->AppendSubMenu(del, W(Lng(L_PopMenu_Del)));
    return Unique(m);
}

wxMenu* MainMenus_Tray(const std::string& appName) {
    auto* m = new wxMenu;
    Add(m, CMD_RESTORE, Lng(L_PopMenu_SysTrayOut, appName));
    m->AppendSeparator();
    Add(m, CMD_HOTKEY_PAUSE, Lng(L_Menu_Pause));
    Add(m, CMD_HOTKEY_MUTE, Lng(L_Menu_Mute));
    Add(m, CMD_HOTKEY_VOLUMEUP, Lng(L_Menu_VolumeUp));
    Add(m, CMD_HOTKEY_VOLUMEDOWN, Lng(L_Menu_VolumeDown));
    Add(m, CMD_HOTKEY_QUICKMENU, Lng(L_Menu_QuickMenu));
    m->AppendSeparator();
    Add(m, CMD_TRAY_QUIT, Lng(L_Menu_Quit));
    return Unique(m);
}
