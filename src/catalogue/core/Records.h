// The feed record (`Rss`, one per catalogue entry) and the article record (`Item`,
// one per stored article of a feed). Integers are 32-bit signed unless noted; dates are
// seconds since 1970 on the local wall clock, 0 meaning no date.
#pragma once
#include <cstdint>
#include <string>

#include "platform/core/CursorList.h"

struct Item {
    std::string AudioLink;       // enclosure address
    std::string AudioFile;       // downloaded enclosure (file key "AutdioFile")
    int64_t AudioFileLength = 0; // enclosure size in bytes
    std::string CustomAudioFile; // local file chosen by the user
    int32_t AudioPos = 0;        // resume position; 0 = start
    int32_t Date = 0;            // publication date
    std::string Link;
    std::string Description; // may hold line breaks and HTML
    std::string GUID;
    int32_t FeedID = 0; // unique within the run, from Item_Add
    std::string ID;     // stable identifier within its feed
    int32_t ItunesDuration = 0;
    std::string PubDate; // publication date as received
    int32_t Readed = 0;  // bit 0 read, bit 1 frozen, bits 4-31 time of the change
    std::string Title;
    std::string Spare;
    std::string TypeUpdate; // "+" new, "." unchanged, else change letters
    std::string Author;
    int32_t Views = 0;
};

// Feed switches (`Rss::Flags`).
enum : int32_t {
    RSSFLAG_ACTUALIZE_ON_START = 1,
    RSSFLAG_DISABLE = 2,
    RSSFLAG_SET_UPDATED_AS_UNREADED = 4,
    RSSFLAG_NO_SHARE = 32,
    RSSFLAG_ALARM = 64,
    RSSFLAG_ADD_TO_PODCAST_LIST = 128,
    RSSFLAG_SHARED = 256,
    RSSFLAG_REMOVE_DUPLICATE = 512,
    RSSFLAG_DEL_OLD_PODCAST = 1024,
    RSSFLAG_PRIORITY_TO_ACTUALIZE = 2048,
};

// Content kinds (`Rss::ContentRss`).
enum : int32_t {
    CONTENT_TEXT = 1,
    CONTENT_PODCAST = 2,
    CONTENT_CATCHTV = 4,
    CONTENT_NETRADIO = 8,
    CONTENT_FILE = 16,
    CONTENT_NETTV = 32,
    CONTENT_YOUTUBE = 64,
    CONTENT_DAILYMOTION = 128,
};

struct Rss {
    std::string ItemsFileName; // article file inside "Feeds/"
    int32_t NextUpdateIn = 0;  // seconds to the next automatic update
    int32_t ContentRss = 0;
    std::string CustomPodcastFileName;
    int32_t Interval = 300; // minutes, 1..4320
    std::string ExtractAs;  // "", "Atom", "RDF", "RssV2", "NetRadio", "OV-..."
    int32_t ExtractError = 0;
    int32_t FormatExtractText = 102400;
    std::string FilePath;
    int32_t Flags = 0;
    std::string Group;
    int32_t RssID = 0;
    std::string Language;
    int32_t LastBuildDate = 0;
    std::string Name;
    int32_t NbAutoDownLoadPodCast = 0;
    int32_t MaxFeed = 0;
    int32_t LastSelectedItem = 0;
    std::string Description;
    std::string SortKey;
    int32_t Updated = 0;
    std::string Url;
    CursorList<Item> Items;
    int32_t Spare = 0;
    int32_t ItemsChanged = 0;
};

// The catalogue, in display order. Changed on the interface thread only.
extern CursorList<Rss> RssList;
