#include "update/core/XmlDownload.h"

#include "catalogue/core/Records.h"
#include "platform/core/FileUtil.h"
#include "platform/core/NetSocket.h"
#include "platform/core/Text.h"
#include "shell/base/Log.h"
#include "update/core/Date.h"
#include "update/net/PureHttp.h"
#include "update/core/XML_Qn.h"
#include "update/core/XmlRepair.h"

const char* const RssInfo_TmpPagePath = "Orvalis-Tmp.htm";

std::unique_ptr<XmlDocument> DownloadXml(const std::string& url, const std::string& file,
                                         uint32_t stopBit, const std::string& methods,
                                         int checkXml) {
    return DownloadXml(url, file, stopBit, methods, checkXml, Download_GetSettings());
}

std::unique_ptr<XmlDocument> DownloadXml(const std::string& urlIn, const std::string& file,
                                         uint32_t stopBit, const std::string& methodsIn,
                                         int checkXml, const DownloadSettings& settings) {
    const std::string methodList = methodsIn.empty() ? settings.DownloadPriority : methodsIn;
    if (urlIn.empty() || file.empty() || !Network_IsAvailable()) return nullptr;
    const std::string url = ReplaceAllNoCase(urlIn, "itpc:", "http:");
    DownloadRequest request;
    request.UserAgent = settings.NetAgent;
    request.CheckXml = checkXml;
    request.StopBit = stopBit;
    request.Callback = &Download_Progress;
    request.MaxBytes = settings.MaxDocumentBytes;
    std::string memory(4096, '\0');

    const std::vector<std::string> methods = Split(methodList, ';');
    std::unique_ptr<XmlDocument> doc;
    std::string method;
    int64_t bytes = 0;
    uint32_t time = 0;
    for (size_t index = 0;; ++index) {
        method = index < methods.size() ? methods[index] : std::string();
        int result = -1;
        bool fromFile = false;
        if (IsThreadKilled(stopBit)) method.clear();
        if (method == "WinINet") {
            if (!settings.UseProxy) {
                request.Memory = &memory;
                request.TotalBytes = 0;
                const uint32_t start = Net_Ticks();
                const int32_t status = DownloadTool_WinINet(url, std::string(), request);
                time = Net_Ticks() - start;
                bytes = request.TotalBytes;
                result = status == 0 && bytes > 0 ? 0 : (status == 0 ? 1 : status);
            }
        } else if (method == "PureHttp") {
            HttpRequest http;
            Download_PrepareHttp(http, url, std::string(), stopBit, settings);
            http.Memory = &memory;
            http.MaxBytes = settings.MaxDocumentBytes;
            PureHttp_Get(http, 10000);
            // A redirect without a new address or a body cut short is no document. As in
            // DownloadFile, a failing "PureHttp" counts as not tried (no log line).
            if (PureHttp_Succeeded(http) && http.TotalBytes > 0) {
                result = 0;
                bytes = http.TotalBytes;
                time = http.TotalTime;
            } else if (http.Status == DOWNLOAD_TOO_LARGE) {
                result = DOWNLOAD_TOO_LARGE;
            }
        } else if (method == "Pure" || method == "API") {
            // These two write the file only; the document is read back from it.
            const uint32_t start = Net_Ticks();
            const int64_t bound = settings.MaxDocumentBytes;
            result = method == "Pure" ? DownloadTool_Receive(url, file, 1, stopBit, bound)
                                      : DownloadTool_API(url, file, 1, stopBit, bound);
            time = Net_Ticks() - start;
            bytes = result == 0 ? File_Size(file) : 0;
            fromFile = true;
        }
        if (result == DOWNLOAD_TOO_LARGE) {
            // The document is too large whatever brings it: no other method is tried.
            Download_LogTooLarge(method, settings.MaxDocumentBytes, url);
            return nullptr;
        }
        if (result == 0)
            doc = fromFile ? IsGoodXML(file, nullptr, 0) : IsGoodXML(url, &memory, bytes);
        if (!doc && result >= 0 && !method.empty())
            Log("! Error, Not downloadedXml by " + method + ", " + url);
        if (doc || method.empty()) break;
    }
    if (!doc) return nullptr;
    if (time == 0) time = 1;
    const int64_t kbps = (bytes * 1000 / 1024) / static_cast<int64_t>(time);
    Log(" DownloadedXml by " + method + ", TotalBytes=" + std::to_string(bytes) +
        ", TotalTime=" + std::to_string(time) + "ms, KBPS=" + std::to_string(kbps) + ", " + url);
    return doc;
}

// ---------------------------------------------------------------- feed information

int GetRssInfoFromURL(const std::string& url, Rss& feed, int setName, int checkXml, int bankMode) {
    return GetRssInfoFromURL(url, feed, setName, checkXml, bankMode, Download_GetSettings());
}

int GetRssInfoFromURL(const std::string& url, Rss& feed, int setName, int checkXml, int bankMode,
                      const DownloadSettings& settings) {
    std::unique_ptr<XmlDocument> doc =
        checkXml ? DownloadXml(url, RssInfo_TmpPagePath, 0, "WinINet;", 1, settings)
                 : DownloadXml(url, RssInfo_TmpPagePath, 0, "", 0, settings);
    if (!doc) {
        Log("! Error, GetRssInfoFromURL( " + url + " )");
        return 0;
    }
    int found = 0;
    std::string kind, title, language, description;
    int32_t date = 0;
    int64_t ttl = 0;
    for (const XmlNode* root = doc->Main()->FirstChild; root; root = root->NextSibling) {
        if (root->Type != XML_NODE_ELEMENT) continue;
        const std::string name = AsciiLower(root->Name);
        const XmlNode* channel = nullptr;
        const XmlNode* firstItem = nullptr;
        if (name == "rdf:rdf") {
            kind = "RDF";
            channel = XmlChild(root, "channel", 1);
            language = XmlText(XmlChild(channel, "dc:language", 1));
            description = XmlText(XmlChild(channel, "description", 1));
            firstItem = XmlChild(root, "item", 1);
        } else if (name == "rss") {
            kind = TrimBlanks(XmlAttribute(root, "version", 1)).substr(0, 1) == "2" ? "RssV2" : "";
            channel = XmlChild(root, "channel", 1);
            const XmlNode* lang = XmlChild(channel, "language", 1);
            language = lang ? XmlText(lang) : XmlAttribute(channel, "xml:lang", 1);
            description = XmlText(XmlChild(channel, "description", 1));
            firstItem = XmlChild(channel, "item", 1);
            ttl = ValInt(XmlText(XmlChild(channel, "ttl", 1)));
        } else if (name == "feed") {
            kind = "Atom";
            channel = root;
            language = XmlAttribute(root, "xml:lang", 1);
            description = XmlText(XmlChild(root, "subtitle", 1));
            firstItem = XmlChild(root, "entry", 1);
        } else {
            continue;
        }
        if (const XmlNode* t = XmlChild(channel, "title", 1)) {
            title = XmlText(t);
            date = GetFeedDate(channel, 0);
            if (bankMode && firstItem) date = GetItemDate(firstItem, date);
            found = firstItem ? 2 : 1;
        }
        break;
    }
    doc.reset();
    if (!found) return 0;
    feed.Url = url;
    feed.ExtractAs = kind;
    if (setName) feed.Name = CleanHtmlText(CleanFeedTitle(CleanHtmlText(title)));
    feed.Language = Utf8Upper(CleanHtmlText(language));
    if (feed.Language == "FRA") feed.Language = "FR";
    feed.Description = CleanHtmlText(description);
    feed.LastBuildDate = date;
    if (ttl >= 1 && ttl <= 4319) feed.Interval = static_cast<int32_t>(ttl);
    return found;
}
