#include "shell/core/DataLoad.h"

#include "catalogue/core/ItemsFile.h"
#include "catalogue/core/ItemsXml.h"
#include "catalogue/core/RssList.h"
#include "platform/core/FileUtil.h"
#include "shell/base/Prefs.h"
#include "shell/core/Startup.h"
#include "shell/core/SystemInfo.h"
#include "update/core/Date.h"
#include "update/net/DownloadTool.h"

void Startup_FillPrefEnvironment() {
    PrefEnvironment& env = Pref_Environment();
    if (!AppPath.empty()) env.AppPath = AppPath;
    if (!DataPath.empty()) env.DataPath = DataPath;
    env.Portable = PortableMode != 0;
    env.VersionCode = WindowsVersionCode();
}

bool Pref_ApplyToCore() {
    TimeZoneOffset = GetLocalOffsetTimeZone();
    DownloadSettings net;
    if (!Pref.DownloadPriority.empty()) net.DownloadPriority = Pref.DownloadPriority;
    if (!Pref.NetAgent.empty()) net.NetAgent = Pref.NetAgent;
    net.ProxyHost = Pref.ProxyHost;
    net.ProxyPort = Pref.ProxyPort;
    net.ProxyID = Pref.ProxyID;
    net.ProxyPassWord = Pref.ProxyPassWord;
    net.UseProxy = Pref.UseProxy != 0;
    net.MaxDocumentBytes = static_cast<int64_t>(Pref.MaxDownloadSize) << 20;
    Download_SetSettings(net);
    Catalogue_Settings().MaxRss = Pref.MaxRss;
    Catalogue_Settings().DBBaseMode = DBBaseMode != 0;
    ItemStore_Settings().IntervalFeedToSave = Pref.IntervalFeedToSave;
    return Network_Init() != 0;
}

int Startup_LoadCatalogue() {
    if (File_Size("ListRSS.Ini") > 0 && !File_Exists(CATALOGUE_FILE))
        return RssList_Load("ListRSS.Ini");
    return RssList_Load(CATALOGUE_FILE);
}

void Startup_LoadArticles() {
    Feed_ReadXml("ItemsU.Xml");
    Feed_Read();
}
