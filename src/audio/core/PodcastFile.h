// Where podcast files live: the file-name masks, the full path of an enclosure inside the
// podcast folder (and its feed sub-folder), the podcast extensions, and the purge of old
// files. A name or a folder that comes from a feed or an article is hostile: nothing
// built here ever points outside the podcast folder.
#pragma once
#include <string>
#include <string_view>
#include <vector>

struct Item;
struct Rss;

// The masks offered by the download dialog, in order (the first one is empty).
const std::vector<std::string>& Podcast_Masks();

// Applies a mask: "%RN" feed name, "%PF" the item's AudioFile less its extension, "%PT"
// its Title ("/" -> "-", '"' -> "_"), then the date tokens from its Date; the result is
// cleaned into one file name, trimmed, and given the AudioFile's extension when missing.
// "" for an empty mask, and for a result that is no usable file name ("." or "..").
std::string PodcastFileName(std::string_view mask, const Rss& feed, const Item& item);

// The folder of a feed's files: the podcast folder (Pref.PodcastPath, or `root` when
// given) plus the feed's FilePath sub-folder. "" when FilePath is absolute or holds a
// component that is no valid file name ("..", a drive): the caller refuses and logs.
std::string Podcast_FeedFolder(std::string_view filePath, const std::string& root = {});
// The full path of a file of a feed: only the last component of `name` is kept (a name
// cannot climb out of the folder). "" when the folder is refused or the name is unusable.
std::string Podcast_FullPath(std::string_view name, std::string_view filePath);
// True when the file's extension is in "AudioExtension" (without regard to case).
bool Podcast_IsPodcastFile(std::string_view path);
// True when `path` lies strictly inside the podcast folder (after the folder was
// resolved; no ".." component anywhere).
bool Podcast_InsideFolder(const std::string& path);

// Removes old podcast files: of feeds with "DelOldPodcast" the files of the items beyond
// their NbAutoDownLoadPodCast newest, and with "NbDayBeforeDelPodCast" > 0 the files older
// than that many days in the feed folders. Never a protected file (one of the newest),
// never a file without a podcast extension, never outside the podcast folder. Returns the
// number of files deleted.
int PodCastPurge();
