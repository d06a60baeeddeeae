// What the article view shows for an article and the addresses that send or share it:
// the text view's content, the web view's page, the author and enclosure lines, the
// mail and share addresses. Reads the article's fields and the preferences.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// The fields of an article these texts read (the item store's records carry them under
// the same names; ArticleFields_Of copies them).
struct ArticleFields {
    std::string Title;
    std::string Link;
    std::string Description;
    std::string Author;
    std::string AudioLink;
    std::string AudioFile;
    int64_t AudioFileLength = 0;
    int32_t ItunesDuration = 0;
};
template <class Record> ArticleFields ArticleFields_Of(const Record& item) {
    ArticleFields f;
    f.Title = item.Title;
    f.Link = item.Link;
    f.Description = item.Description;
    f.Author = item.Author;
    f.AudioLink = item.AudioLink;
    f.AudioFile = item.AudioFile;
    f.AudioFileLength = item.AudioFileLength;
    f.ItunesDuration = item.ItunesDuration;
    return f;
}

// What ItemInfoText reads from the preferences.
struct ItemInfoSettings {
    std::string PodcastExtensions; // "mp3;ogg;..." ("AudioExtension")
    std::string DurationFormat;    // "%hh:%ii:%ss" style mask ("DurationTimeFormat")
};
// The settings as the preferences hold them now.
ItemInfoSettings ItemInfo_Settings();

// "\r\nAuteur : " + Author; "\r\nPodcast " (or "Fichier ") + AudioFile + "\r\n" + AudioLink;
// "\r\nTaille " + size; "\r\nDurée " + duration; each piece only when its field is set.
std::string ItemInfoText(const ArticleFields& item);
std::string ItemInfoText(const ArticleFields& item, const ItemInfoSettings& settings);
// An enclosure size as the article list writes it ("12.5 Mo"); "" for 0 or less.
std::string ItemInfo_Size(int64_t bytes);
// Seconds written with the mask ("%hh", "%ii", "%ss"; "%hh:%ii:%ss" when the mask holds
// none of them).
std::string ItemInfo_Duration(int32_t seconds, const std::string& mask);

// The text view's content for an article: the description (its own line breaks kept,
// converted to text; with `readability` the converter waits for the text and drops
// images and links), CR LF line ends, then "\r\n" + the title without tags, then
// ItemInfoText.
std::string ItemView_Text(const ArticleFields& item, bool readability);
std::string ItemView_Text(const ArticleFields& item, bool readability,
                          const ItemInfoSettings& settings);
// The web view's page: "<html><head><title>" + title + "</title></head><body>" +
// description + "</body></html>". The title has its tags removed; it is written as text
// (its "<", ">" and "&" escaped) so that it cannot open markup of its own.
std::string ItemView_Html(const ArticleFields& item);

// "mailto:?subject=" + encoded first 250 characters of the title + "&body=" + encoded
// link (+ "\nFichier associé :\n" + audio link), cut to 1900 characters.
std::string MailItem_Address(const ArticleFields& item);
// The share address of `tmpl`: ":Subject:" the encoded title (as for mail), ":Url:" the
// link, ":UrlFile:" "\nFichier joint :\n" + audio link (or "").
std::string ShareItem_Address(const ArticleFields& item, std::string_view tmpl);
// The two share templates.
extern const char* const ShareTemplate_FaceBook;
extern const char* const ShareTemplate_Twitter;
