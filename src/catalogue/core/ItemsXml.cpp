#include "catalogue/core/ItemsXml.h"

#include <chrono>

#include "catalogue/core/Items.h"
#include "catalogue/core/ItemsFile.h"
#include "platform/core/FileUtil.h"
#include "platform/core/Text.h"
#include "shell/base/Log.h"
#include "shell/base/AppPaths.h"
#include "shell/base/XmlTree.h"

// Attribute value by name ignoring case; empty when absent.
static std::string Attr(const XmlNode* node, std::string_view name) {
    for (const XmlAttr& a : node->Attributes)
        if (EqualsNoCase(a.Name, name)) return a.Value;
    return {};
}

static bool IsOn(std::string_view value) {
    const std::string v = AsciiLower(TrimBlanks(value));
    return v == "on" || v == "1";
}

static Rss* FindFeedByName(const std::string& name) {
    const std::string wanted = Utf8Lower(name);
    for (auto it = RssList.begin(); it != RssList.end(); ++it)
        if (Utf8Lower(it->Name) == wanted) {
            RssList.SetCurrent(it);
            return &*it;
        }
    return nullptr;
}

static Item ItemFromElement(const XmlNode* node) {
    Item item;
    for (const XmlAttr& a : node->Attributes) {
        const std::string name = AsciiLower(a.Name);
        const std::string& v = a.Value;
        if (name == "date")
            item.Date = ValInt32(v);
        else if (name == "readed")
            item.Readed = ValInt32(v);
        else if (name == "audiofile")
            item.AudioFile = v;
        else if (name == "audiofilelength")
            item.AudioFileLength = ValInt(v);
        else if (name == "customaudiofile")
            item.CustomAudioFile = v;
        else if (name == "audiopos")
            item.AudioPos = ValInt32(v);
        else if (name == "audiolink")
            item.AudioLink = v;
        else if (name == "guid")
            item.GUID = v;
        else if (name == "itunesduration")
            item.ItunesDuration = ValInt32(v);
        else if (name == "description")
            item.Description = UnescapeText(v);
        else if (name == "link")
            item.Link = v;
        else if (name == "title")
            item.Title = UnescapeText(v);
        else if (name == "views")
            item.Views = ValInt32(v);
    }
    return item;
}

int Feed_ReadXml(const std::string& file) {
    if (DBBaseMode) return 0;
    std::string name = file;
    if (File_Size("Items.Xml") > 0 && !File_Exists(file)) name = "Items.Xml";
    if (File_Exists(name + ".New")) {
        name += ".New";
        Log("! Find new, File=" + name);
    }
    std::string bytes;
    if (!File_Exists(name) || !File_ReadAll(name, bytes)) {
        Log("! File not Found !");
        return -1;
    }
    const auto start = std::chrono::steady_clock::now();
    Log("* Feed_ReadXml() File=" + name);
    auto doc = Xml_ParseBytes(bytes);
    // The oldest store was written in the ANSI code page, often without saying so.
    if (doc->ErrorCode() != 0 && !IsValidUtf8(bytes)) doc = Xml_ParseUtf8(Cp1252ToUtf8(bytes));
    if (doc->ErrorCode() != 0) {
        Log("! Error Feed_ReadXml() " + doc->ErrorMessage() + ". Ligne=" +
            std::to_string(doc->ErrorLine()) + " Position=" + std::to_string(doc->ErrorColumn()));
        return -1;
    }
    const XmlNode* root = doc->RootElement();
    int feeds = 0, items = 0;
    const auto cursor = RssList.CurrentIterator(); // Item_Add works on the current feed
    if (root && EqualsNoCase(root->Name, "Orvalis")) {
        for (const XmlNode* flux = root->FirstChild; flux; flux = flux->NextSibling) {
            if (flux->Type != XML_NODE_ELEMENT || !EqualsNoCase(flux->Name, "Flux")) continue;
            Rss* feed = FindFeedByName(Attr(flux, "Name"));
            if (!feed) continue;
            ++feeds;
            feed->LastBuildDate = StoreDate_Parse(Attr(flux, "lastbuilddate"));
            feed->ExtractError = IsOn(Attr(flux, "ExtractError")) ? 1 : 0;
            if (!Attr(flux, "lastplay").empty()) PlayedList_Add(PlayedFeeds, feed->RssID);
            for (const XmlNode* n = flux->FirstChild; n; n = n->NextSibling) {
                if (n->Type != XML_NODE_ELEMENT || !EqualsNoCase(n->Name, "Item")) continue;
                if (!Item_Add(ItemFromElement(n), 1)) continue;
                ++items;
                if (!Attr(n, "lastplay").empty())
                    PlayedList_Add(PlayedItems, feed->Items.Current()->FeedID);
            }
        }
    }
    RssList.SetCurrent(cursor);
    const auto ms = std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(
                                       std::chrono::steady_clock::now() - start)
                                       .count());
    Log(std::to_string(feeds) + " feeds added in " + ms + " ms");
    Log(std::to_string(items) + " articles added in " + ms + " ms");
    return items;
}
