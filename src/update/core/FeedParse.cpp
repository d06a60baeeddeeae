#include "update/core/FeedParse.h"

#include <ctime>

#include "article/core/HtmlEntities.h"
#include "platform/core/Text.h"
#include "update/core/Date.h"
#include "update/net/DownloadTool.h"
#include "update/net/UrlTools.h"
#include "update/core/XML_Qn.h"
#include "update/core/XmlRepair.h"

#ifdef _WIN32
#include <windows.h>

// Each thread's vector lives on the heap and is freed by the system's own thread-exit hook
// (a fiber-local slot's callback), which runs whatever the order of the C++ ones.
static void WINAPI FreeParsedItems(void* items) {
    delete static_cast<std::vector<Item>*>(items);
}

static std::vector<Item>& NewParsedItems() {
    static const DWORD slot = FlsAlloc(FreeParsedItems);
    auto* items = new std::vector<Item>();
    if (slot != FLS_OUT_OF_INDEXES) FlsSetValue(slot, items);
    return *items;
}

thread_local std::vector<Item>& ParsedItems = NewParsedItems();
#else
thread_local std::vector<Item> ParsedItems;
#endif

bool IsUpdateStopped() {
    return IsThreadKilled(1) != 0;
}

void Item_Clear(Item& item) {
    item = Item();
}

// Element names compare lower-cased, without control characters, trimmed.
static std::string ElementKey(const std::string& name) {
    std::string r;
    r.reserve(name.size());
    for (char c : name)
        if (static_cast<unsigned char>(c) >= 32) r.push_back(AsciiLower(c));
    return Trim(r);
}

std::string Item_Link(XmlNode* node, const std::string& current) {
    if (!current.empty()) return current;
    std::string link = XmlOwnText(node);
    if (link.empty() && !node->Attributes.empty()) link = XmlAttribute(node, "href", true);
    return link;
}

void Item_SetDate(std::string_view text, Item& item) {
    const std::string cleaned = CleanText(text, 1);
    const int32_t d = Feed_ParseDate(cleaned);
    if (d > item.Date) {
        item.Date = d;
        item.PubDate = cleaned;
    }
    if (item.PubDate.empty()) item.PubDate = cleaned;
}

void Item_SetEnclosure(Item& item, const std::string& url, int64_t length) {
    if (item.AudioLink.empty() || Url_IsAudioExtension(Url_Extension(url))) {
        item.AudioLink = url;
        item.AudioFileLength = length;
    }
}

int32_t DurationToSeconds(std::string_view text) {
    // The fields between the ":", read without copying them.
    std::string_view parts[3];
    size_t count = 0;
    for (size_t i = 0;; ++count) {
        const size_t colon = text.find(':', i);
        if (count == 3) return 0; // three or more ":"
        parts[count] = text.substr(i, colon == std::string_view::npos ? colon : colon - i);
        if (colon == std::string_view::npos) break;
        i = colon + 1;
    }
    switch (count) {
    case 0:
        return ValInt32(parts[0]);
    case 1:
        return ValInt32(parts[0]) * 60 + ValInt32(parts[1]);
    default:
        return ValInt32(parts[0]) * 3600 + ValInt32(parts[1]) * 60 + ValInt32(parts[2]);
    }
}

std::string KeepBasicTags(std::string_view text) {
    static const std::string_view kKept[] = {"<img ", "<a ", "</a", "<br", "</h", "<h"};
    std::string r;
    r.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const size_t lt = text.find('<', i);
        if (lt == std::string_view::npos) {
            r.append(text.substr(i));
            break;
        }
        r.append(text.substr(i, lt - i));
        // Every kept tag has one of these letters after its "<": most tags are settled there.
        const char next = lt + 1 < text.size() ? AsciiLower(text[lt + 1]) : '\0';
        bool keep = false;
        if (next == 'i' || next == 'a' || next == '/' || next == 'b' || next == 'h')
            for (std::string_view k : kKept)
                if (StartsWithNoCase(text.substr(lt), k)) {
                    keep = true;
                    break;
                }
        if (keep) {
            r.push_back('<');
            i = lt + 1;
            continue;
        }
        const size_t gt = text.find('>', lt + 1);
        i = gt == std::string_view::npos ? text.size() : gt + 1;
    }
    return r;
}

std::string DescriptionToHtml(std::string_view text) {
    std::string r = DecodeHtmlEntities(KeepBasicTags(text));
    if (r.find("&#") != std::string::npos) r = DecodeHtmlEntities(KeepBasicTags(r));
    return CleanText(r, 0);
}

std::string TitleToText(std::string_view text) {
    std::string r = DecodeHtmlEntities(RemoveHtmlTags(text));
    if (r.find("&#") != std::string::npos) r = DecodeHtmlEntities(RemoveHtmlTags(r));
    return CleanText(r, 1);
}

static bool IsAsciiLetter(char32_t c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// UnwrapUrl on the characters: invalid UTF-8 after the percent-decoding reads as U+FFFD.
static std::string UnwrapUrl32(std::string_view decoded) {
    const std::u32string s = Utf8ToUtf32(decoded);
    for (size_t colon = 6; colon < s.size(); ++colon) {
        if (s[colon] != U':') continue;
        if (s.compare(colon, 3, U"://") != 0) continue;
        size_t start = colon;
        while (start > 0 && colon - start < 7 && IsAsciiLetter(s[start - 1]))
            --start;
        if (start == colon) continue;
        return Utf32ToUtf8(s.substr(start));
    }
    if (s.find(U':') == std::u32string::npos) return {};
    return Utf32ToUtf8(s);
}

std::string UnwrapUrl(std::string_view text) {
    std::string s = Url_PercentDecode(text);
    if (!IsValidUtf8(s)) return UnwrapUrl32(s);
    // A complete second address carried inside a tracking address: take it out. Only a
    // ":" that starts "://" counts, so a port number ("host:8080") is left alone. The
    // searched characters are ASCII, so the bytes give what the characters give; only
    // the ":"'s place (the 7th character or later) is counted in characters.
    size_t chars = 0; // characters before byte `i`
    for (size_t i = 0; i < s.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if ((c & 0xC0) == 0x80) continue;
        const size_t index = chars++;
        if (c != ':' || index < 6 || s.compare(i, 3, "://") != 0) continue;
        size_t start = i;
        while (start > 0 && i - start < 7 &&
               IsAsciiLetter(static_cast<unsigned char>(s[start - 1])))
            --start;
        if (start == i) continue;
        return s.substr(start);
    }
    if (s.find(':') == std::string::npos) return {};
    return s;
}

std::string CleanUrl(std::string_view text) {
    return Trim(UnwrapUrl(CleanText(text, 1)));
}

std::string ExpandUrlDate(std::string_view url, int64_t now) {
    if (url.find('%') == std::string_view::npos) return std::string(url);
    const time_t t = static_cast<time_t>(now);
    struct tm tmv {};
    gmtime_r(&t, &tmv); // `now` is already on the local wall clock
    char buf[8];
    std::string r(url);
    std::snprintf(buf, sizeof buf, "%04d", tmv.tm_year + 1900);
    r = ReplaceAll(r, "%yyyy", buf);
    std::snprintf(buf, sizeof buf, "%02d", tmv.tm_year % 100);
    r = ReplaceAll(r, "%yy", buf);
    std::snprintf(buf, sizeof buf, "%02d", tmv.tm_mon + 1);
    r = ReplaceAll(r, "%mm", buf);
    std::snprintf(buf, sizeof buf, "%02d", tmv.tm_mday);
    r = ReplaceAll(r, "%dd", buf);
    std::snprintf(buf, sizeof buf, "%02d", tmv.tm_hour);
    r = ReplaceAll(r, "%hh", buf);
    std::snprintf(buf, sizeof buf, "%02d", tmv.tm_min);
    r = ReplaceAll(r, "%ii", buf);
    std::snprintf(buf, sizeof buf, "%02d", tmv.tm_sec);
    r = ReplaceAll(r, "%ss", buf);
    return r;
}

std::string ExpandUrlDate(std::string_view url) {
    const time_t t = std::time(nullptr);
    return ExpandUrlDate(url, static_cast<int64_t>(t) + GetLocalOffsetTimeZone());
}

bool Item_Commit(const Item& item) {
    Item out;
    if (!Trim(item.Title).empty()) {
        out.Title = TitleToText(item.Title);
        out.Description = DescriptionToHtml(item.Description);
    } else {
        out.Description = DescriptionToHtml(item.Description);
        if (out.Description.empty()) return false;
        out.Title = TitleToText("Sans titre");
    }
    out.AudioFile = CleanText(item.AudioFile, 1);
    out.GUID = CleanText(item.GUID, 1);
    out.Author = CleanText(item.Author, 1);
    out.Link = CleanText(item.Link, 1);
    out.PubDate = CleanText(item.PubDate, 1);
    out.AudioLink = CleanText(item.AudioLink, 1);
    out.AudioFileLength = item.AudioFileLength;
    out.Date = item.Date;
    out.ItunesDuration = item.ItunesDuration;
    out.Views = item.Views;
    if (out.AudioLink.empty()) {
        const std::string u = CleanUrl(out.Link);
        if (Url_IsAudioExtension(Url_Extension(u))) out.AudioLink = u;
    }
    if (out.AudioLink.empty()) {
        const std::string u = CleanUrl(out.GUID);
        if (Url_IsAudioExtension(Url_Extension(u))) out.AudioLink = u;
    }
    ParsedItems.push_back(std::move(out));
    return true;
}

enum ReaderKind { READER_RSS, READER_RDF, READER_ATOM };

// An Atom text construct that carries Base64: Atom 0.3's mode "base64", or an Atom 1.0
// media type that is neither text nor XML ("application/octet-stream").
static bool IsBase64Construct(const XmlNode* node) {
    const std::string mode = AsciiLower(Trim(XmlAttribute(node, "mode", true)));
    if (!mode.empty()) return mode == "base64";
    const std::string type = AsciiLower(Trim(XmlAttribute(node, "type", true)));
    if (type.find('/') == std::string::npos || type.starts_with("text/")) return false;
    return !(type.ends_with("+xml") || type.ends_with("/xml"));
}

// Text of an Atom title, summary or content: its inline markup or XHTML as HTML, a Base64
// text decoded (a value that is not Base64 stays as written).
static std::string AtomText(const XmlNode* node) {
    std::string text = XmlText(node);
    if (IsBase64Construct(node)) XmlDecodeBase64Text(text, text);
    return text;
}

// One element of an item, by its cleaned name; what each kind of document recognises.
// Titles and descriptions may hold inline markup (XmlText); the other values are read as
// the element's own text.
static void ReadItemChild(XmlNode* child, Item& item, ReaderKind kind) {
    const std::string key = ElementKey(child->Name);
    if (key == "title") {
        item.Title = kind == READER_ATOM ? AtomText(child) : XmlText(child);
    } else if (kind == READER_ATOM) {
        if (key == "summary" || key == "content")
            item.Description += AtomText(child);
        else if (key == "id")
            item.GUID = XmlOwnText(child);
        else if (key == "author")
            item.Author = XmlOwnText(child);
        else if (key == "updated" || key == "dc:date" || key == "published")
            Item_SetDate(XmlOwnText(child), item);
        else if (key == "link")
            item.Link = Item_Link(child, item.Link);
        return;
    } else if (key == "description" || (kind == READER_RSS && key == "content:encoded")) {
        item.Description += XmlText(child);
    } else if (kind == READER_RSS && key == "media:group") {
        XmlNode* d = XmlChild(child, "yt:duration", true);
        if (d) {
            const std::string seconds = XmlAttribute(d, "seconds", true);
            if (!seconds.empty()) item.ItunesDuration = DurationToSeconds(seconds);
        }
    } else if (key == "itunes:duration") {
        item.ItunesDuration = DurationToSeconds(XmlOwnText(child));
    } else if (key == "link") {
        item.Link = Item_Link(child, item.Link);
    } else if (key == "pubdate" || key == "dc:date") {
        Item_SetDate(XmlOwnText(child), item);
    } else if (key == "enclosure") {
        Item_SetEnclosure(item, CleanUrl(XmlAttribute(child, "url", true)),
                          ValInt(XmlAttribute(child, "length", true)));
    } else if (key == "guid") {
        item.GUID = XmlOwnText(child);
    } else if (kind == READER_RSS && key == "yt:statistics") {
        item.Views = ValInt32(XmlAttribute(child, "viewCount", true));
    } else if (kind == READER_RSS && key == "dm:views") {
        item.Views = ValInt32(XmlOwnText(child));
    } else if (key == "author") {
        item.Author = XmlOwnText(child);
    }
}

static void ReadItems(XmlNode* first, std::string_view name, ReaderKind kind) {
    Item item;
    for (XmlNode* node = first; node && !IsUpdateStopped();
         node = XmlNextSibling(node, name, true)) {
        Item_Clear(item);
        for (XmlNode* c = node->FirstChild; c; c = c->NextSibling)
            if (c->Type == XML_NODE_ELEMENT) ReadItemChild(c, item, kind);
        Item_Commit(item);
    }
}

int32_t Feed_ReadRssV2(XmlDocument* document) {
    if (!document) return 0;
    XmlNode* channel = XmlChild(XmlChild(document->Main(), "rss", true), "channel", true);
    if (!channel) return 0;
    const int32_t date = GetFeedDate(channel, 0);
    ReadItems(XmlChild(channel, "item", true), "item", READER_RSS);
    return date;
}

int32_t Feed_ReadRdf(XmlDocument* document) {
    if (!document) return 0;
    XmlNode* rdf = XmlChild(document->Main(), "rdf:rdf", true);
    if (!rdf) return 0;
    XmlNode* channel = XmlChild(rdf, "channel", true);
    const int32_t date = channel ? GetFeedDate(channel, 0) : 0;
    ReadItems(XmlChild(rdf, "item", true), "item", READER_RDF);
    return date;
}

int32_t Feed_ReadAtom(XmlDocument* document) {
    if (!document) return 0;
    XmlNode* feed = XmlChild(document->Main(), "feed", true);
    if (!feed) return 0;
    const int32_t date = GetFeedDate(feed, 0);
    ReadItems(XmlChild(feed, "entry", true), "entry", READER_ATOM);
    return date;
}

int32_t Feed_ReadByRoot(XmlDocument* document) {
    if (!document) return -1;
    for (XmlNode* n = document->Main()->FirstChild; n; n = n->NextSibling) {
        if (n->Type != XML_NODE_ELEMENT) continue;
        if (EqualsNoCase(n->Name, "rss")) return Feed_ReadRssV2(document);
        if (EqualsNoCase(n->Name, "rdf:rdf")) return Feed_ReadRdf(document);
        if (EqualsNoCase(n->Name, "feed")) return Feed_ReadAtom(document);
    }
    return -1;
}
