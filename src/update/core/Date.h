// Dates of feeds and articles. A date is a 32-bit signed count of seconds since
// 1970-01-01 00:00:00 of the local wall clock (no zone attached); 0 means no date.
// Texts come in RFC 822 form ('Mon, 02 Jan 2006 15:04:05 +0100'), ISO 8601 form
// ('2006-01-02T15:04:05Z') or as a bare day ('2006-01-02').
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

struct XmlNode;

// Minutes such that UTC = local time + offset (so -60 is one hour ahead of UTC), daylight
// saving included. Set at start-up from GetLocalOffsetTimeZone(); read by Feed_ParseDate.
// Kept beside the preferences but never written to the preferences file.
extern int32_t TimeZoneOffset;

// The local zone's offset now, from the C library's local time (TZ honoured).
int32_t GetLocalOffsetTimeZone();

// The date of year-month-day hh:ii:ss, or 0 when a field is out of its range or the
// result does not fit in 32 bits.
int32_t Date_Make(int year, int month, int day, int hour, int minute, int second);
// Broken-down fields of a date; weekday 0 is Sunday.
struct DateFields {
    int Year, Month, Day, Hour, Minute, Second, WeekDay;
};
DateFields Date_Split(int32_t date);
// Writes a date with a mask: "%yyyy", "%yy", "%mm", "%dd", "%hh", "%ii", "%ss"; every
// other character stands for itself.
std::string Date_Format(std::string_view mask, int32_t date);
// Reads a text with a mask (same tokens). A token takes its digits (a %yyyy up to four,
// the others up to two); any other mask character skips one character of the text.
// Missing time fields are 0; a text that ends before the day is complete, or a field out
// of range, gives `ok` false and 0.
int32_t Date_Parse(std::string_view mask, std::string_view text, bool* ok = nullptr);

// The date of a feed text in local time: RFC 822 (turned from UTC to local with
// TimeZoneOffset), else ISO 8601 (taken as stated), else a bare day; 0 when none fits.
int32_t Feed_ParseDate(std::string_view text);
// "Wdy, DD Mon YYYY hh:ii[:ss] [zone]"; the weekday and its comma are required. With
// applyZone the zone is subtracted so the result is UTC.
int32_t ParseRFC822Date(std::string_view text, int applyZone);
// Seconds to subtract from a zoned time to reach UTC: "+0130" -> 5400, "GMT-2" -> -7200;
// names such as "EST" or "Z" count as 0; clamped to -43200..43200.
int32_t ZoneToSeconds(std::string_view zone);
// "YYYY-MM-DDThh:ii:ss..." (any zone suffix ignored), else 0.
int32_t ParseISO8601Date(std::string_view text);
// "YYYY-MM-DD" at midnight, else 0.
int32_t ParseShortDate(std::string_view text);

// The newest of `date` and the dates of the first "pubdate", "dc:date", "updated" and
// "lastbuilddate" children of a channel (names ignoring case).
int32_t GetFeedDate(const XmlNode* channel, int32_t date);
// The same over an item's "pubdate", "updated", "dc:date" and "published".
int32_t GetItemDate(const XmlNode* item, int32_t date);

// Display text of a date in one of the ten layouts (-1: the "FormatDate" preference,
// Pref.FormatDate), with translated day and month names; "" for date 0.
std::string FormatItemDate(int32_t date, int layout);
