#include "update/core/Date.h"

#include <ctime>
#include <initializer_list>
#include <limits>
#include <vector>

#include "platform/core/Text.h"
#include "shell/base/Lng.h"
#include "shell/base/Prefs.h"
#include "update/core/XML_Qn.h"

int32_t TimeZoneOffset = 0;

int32_t GetLocalOffsetTimeZone() {
    const time_t now = time(nullptr);
    struct tm local {};
    if (!localtime_r(&now, &local)) return 0;
#ifdef _WIN32
    // The local wall clock read as UTC, less the moment: local minus UTC, daylight saving
    // included when in effect.
    return static_cast<int32_t>(-(static_cast<long long>(_mkgmtime(&local)) - now) / 60);
#else
    // tm_gmtoff is local minus UTC, daylight saving included when in effect.
    return static_cast<int32_t>(-local.tm_gmtoff / 60);
#endif
}

// ---------------------------------------------------------------- calendar

static bool IsLeap(int64_t y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

static int DaysInMonth(int64_t y, int m) {
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return (m == 2 && IsLeap(y)) ? 29 : days[m - 1];
}

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
static int64_t DaysFromCivil(int64_t y, int m, int d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

static void CivilFromDays(int64_t z, int& y, int& m, int& d) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

// A 64-bit count of seconds as a date; 0 when it does not fit in 32 bits.
static int32_t Fit(int64_t seconds) {
    if (seconds < std::numeric_limits<int32_t>::min() ||
        seconds > std::numeric_limits<int32_t>::max())
        return 0;
    return static_cast<int32_t>(seconds);
}

// Seconds of year-month-day at midnight in 64 bits; false for an impossible day. Outside
// these years no date fits in 32 bits anyway; the bound keeps the arithmetic small.
static bool Midnight64(int64_t year, int month, int day, int64_t& seconds) {
    if (year < 1800 || year > 2100) return false;
    if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) return false;
    seconds = DaysFromCivil(year, month, day) * 86400;
    return true;
}

int32_t Date_Make(int year, int month, int day, int hour, int minute, int second) {
    int64_t midnight = 0;
    if (!Midnight64(year, month, day, midnight)) return 0;
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 60) return 0;
    return Fit(midnight + hour * 3600 + minute * 60 + second);
}

DateFields Date_Split(int32_t date) {
    DateFields f{};
    int64_t days = date / 86400;
    int64_t rest = date % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    CivilFromDays(days, f.Year, f.Month, f.Day);
    f.Hour = static_cast<int>(rest / 3600);
    f.Minute = static_cast<int>(rest / 60 % 60);
    f.Second = static_cast<int>(rest % 60);
    // 1970-01-01 was a Thursday.
    f.WeekDay = static_cast<int>(((days + 4) % 7 + 7) % 7);
    return f;
}

static std::string TwoDigits(int v) {
    std::string s = std::to_string(v);
    return s.size() < 2 ? "0" + s : s;
}

// The mask token at `mask[i]` ("%yyyy", "%yy", "%mm", ...), or "" when none starts there.
static std::string_view TokenAt(std::string_view mask, size_t i) {
    static const char* const tokens[] = {"%yyyy", "%yy", "%mm", "%dd", "%hh", "%ii", "%ss"};
    for (const char* t : tokens) {
        const std::string_view tv(t);
        if (mask.substr(i, tv.size()) == tv) return tv;
    }
    return {};
}

std::string Date_Format(std::string_view mask, int32_t date) {
    const DateFields f = Date_Split(date);
    std::string out;
    for (size_t i = 0; i < mask.size();) {
        const std::string_view tok = TokenAt(mask, i);
        if (tok.empty()) {
            out += mask[i++];
            continue;
        }
        if (tok == "%yyyy") {
            std::string y = std::to_string(f.Year);
            out += std::string(y.size() < 4 ? 4 - y.size() : 0, '0') + y;
        } else if (tok == "%yy") {
            out += TwoDigits(f.Year % 100);
        } else if (tok == "%mm") {
            out += TwoDigits(f.Month);
        } else if (tok == "%dd") {
            out += TwoDigits(f.Day);
        } else if (tok == "%hh") {
            out += TwoDigits(f.Hour);
        } else if (tok == "%ii") {
            out += TwoDigits(f.Minute);
        } else {
            out += TwoDigits(f.Second);
        }
        i += tok.size();
    }
    return out;
}

static bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int32_t Date_Parse(std::string_view mask, std::string_view text, bool* ok) {
    int year = -1, month = -1, day = -1, hour = 0, minute = 0, second = 0;
    size_t t = 0;
    bool good = true;
    for (size_t i = 0; i < mask.size() && good;) {
        const std::string_view tok = TokenAt(mask, i);
        if (tok.empty()) {
            if (t >= text.size()) break; // the text may stop before a trailing literal
            ++t;
            ++i;
            continue;
        }
        const size_t maxDigits = tok == "%yyyy" ? 4 : 2;
        int value = 0;
        size_t n = 0;
        while (n < maxDigits && t < text.size() && IsDigit(text[t])) {
            value = value * 10 + (text[t] - '0');
            ++t;
            ++n;
        }
        i += tok.size();
        if (n == 0) {
            // Time fields may be left out; the day itself may not.
            if (tok == "%yyyy" || tok == "%yy" || tok == "%mm" || tok == "%dd") good = false;
            break;
        }
        if (tok == "%yyyy")
            year = value;
        else if (tok == "%yy")
            year = value < 70 ? 2000 + value : 1900 + value;
        else if (tok == "%mm")
            month = value;
        else if (tok == "%dd")
            day = value;
        else if (tok == "%hh")
            hour = value;
        else if (tok == "%ii")
            minute = value;
        else
            second = value;
    }
    int32_t date = 0;
    if (good && year >= 0 && month >= 0 && day >= 0) {
        date = Date_Make(year, month, day, hour, minute, second);
        good = date != 0 || (year == 1970 && month == 1 && day == 1 && hour + minute + second == 0);
    } else {
        good = false;
    }
    if (ok) *ok = good;
    return date;
}

// ---------------------------------------------------------------- parsing

int32_t Feed_ParseDate(std::string_view text) {
    int32_t d = ParseRFC822Date(text, 1);
    if (d != 0) return Fit(static_cast<int64_t>(d) - static_cast<int64_t>(TimeZoneOffset) * 60);
    d = ParseISO8601Date(text);
    if (d == 0) d = ParseShortDate(text);
    return d;
}

// Hours and minutes of "hh:ii" or "hhii"; false when no hour digits are there.
static bool ReadHoursMinutes(std::string_view s, int64_t& h, int64_t& m) {
    const bool colon = s.find(':') != std::string_view::npos;
    size_t i = 0;
    h = 0;
    m = 0;
    size_t n = 0;
    while (n < 2 && i < s.size() && IsDigit(s[i])) {
        h = h * 10 + (s[i++] - '0');
        ++n;
    }
    if (n == 0) return false;
    if (colon) {
        if (i >= s.size() || s[i] != ':') return false;
        ++i;
    }
    n = 0;
    while (n < 2 && i < s.size() && IsDigit(s[i])) {
        m = m * 10 + (s[i++] - '0');
        ++n;
    }
    return true;
}

int32_t ZoneToSeconds(std::string_view zone) {
    std::string z = AsciiLower(zone);
    const size_t gmt = z.find("gmt");
    z = gmt != std::string::npos ? Trim(z.substr(gmt + 3)) : Trim(z);
    int sign = 1;
    if (!z.empty() && z[0] == '+') {
        z.erase(0, 1);
    } else if (!z.empty() && z[0] == '-') {
        z.erase(0, 1);
        sign = -1;
    }
    int64_t h = 0, m = 0;
    int64_t seconds = ReadHoursMinutes(z, h, m) ? h * 3600 + m * 60 : 0;
    if (seconds > 43200) seconds = 43200;
    return static_cast<int32_t>(sign * seconds);
}

static int MonthFromName(std::string_view name) {
    static const char* const months[12] = {"jan", "feb", "mar", "apr", "may", "jun",
                                           "jul", "aug", "sep", "oct", "nov", "dec"};
    for (int i = 0; i < 12; ++i)
        if (EqualsNoCase(name, months[i])) return i + 1;
    return 0;
}

int32_t ParseRFC822Date(std::string_view text, int applyZone) {
    const size_t comma = text.find(',');
    if (comma == std::string_view::npos) return 0;
    // The fields after the comma, trimmed, between spaces (a run of spaces is one
    // separator); the first five are read, as views of the text.
    std::string_view rest = text.substr(comma + 1);
    auto space = [](char c) {
        return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
    };
    while (!rest.empty() && space(rest.front()))
        rest.remove_prefix(1);
    while (!rest.empty() && space(rest.back()))
        rest.remove_suffix(1);
    std::string_view fields[5];
    for (size_t k = 0; k < 5 && !rest.empty(); ++k) {
        const size_t sp = rest.find(' ');
        fields[k] = rest.substr(0, sp);
        if (sp == std::string_view::npos) break;
        rest.remove_prefix(sp);
        while (!rest.empty() && rest.front() == ' ')
            rest.remove_prefix(1);
    }
    const int month = MonthFromName(fields[1]);
    const int64_t day = ValInt(fields[0]);
    int64_t year = ValInt(fields[2]);
    if (year >= 0 && year < 70) year += 2000;
    if (month == 0 || day <= 0 || day > 31 || year <= 0 || year > 9999) return 0;
    // An unreadable or impossible time leaves the day at midnight.
    int64_t h = 0, m = 0;
    int64_t time = 0;
    if (ReadHoursMinutes(fields[3], h, m) && h <= 23 && m <= 59) time = h * 3600 + m * 60;
    int64_t date = 0;
    if (!Midnight64(year, month, static_cast<int>(day), date)) return 0;
    date += time;
    if (applyZone) date -= ZoneToSeconds(fields[4]);
    return Fit(date);
}

int32_t ParseISO8601Date(std::string_view text) {
    const std::string s = Trim(text);
    if (s.size() < 17 || s[4] != '-' || s[7] != '-' || s[13] != ':' || s[16] != ':') return 0;
    return Date_Parse("%yyyy-%mm-%ddT%hh:%ii:%ssZ", s);
}

int32_t ParseShortDate(std::string_view text) {
    const std::string s = Trim(text);
    if (s.size() < 8 || s[4] != '-' || s[7] != '-') return 0;
    return Date_Parse("%yyyy-%mm-%dd", s);
}

static int32_t NewestOfChildren(const XmlNode* node, int32_t date,
                                std::initializer_list<const char*> names) {
    for (const char* name : names) {
        const XmlNode* child = XmlChild(node, name, 1);
        if (!child) continue;
        const int32_t d = Feed_ParseDate(XmlText(child));
        if (d > date) date = d;
    }
    return date;
}

int32_t GetFeedDate(const XmlNode* channel, int32_t date) {
    return NewestOfChildren(channel, date, {"pubdate", "dc:date", "updated", "lastbuilddate"});
}

int32_t GetItemDate(const XmlNode* item, int32_t date) {
    return NewestOfChildren(item, date, {"pubdate", "updated", "dc:date", "published"});
}

// ---------------------------------------------------------------- display

std::string FormatItemDate(int32_t date, int layout) {
    if (date == 0) return {};
    if (layout == -1) layout = Pref.FormatDate;
    const char* mask;
    switch (layout) {
    case 1:
        mask = "%ds %dd/%mm/%yyyy %hh:%ii";
        break;
    case 2:
        mask = "%dl %dd %mm %yyyy %hh:%ii";
        break;
    case 3:
        mask = "%dl %dd/%mm/%yyyy %hh:%ii";
        break;
    case 4:
        mask = "%dd %ml %yyyy %hh:%ii";
        break;
    case 5:
        mask = "%ds %dd %ml %yyyy %hh:%ii";
        break;
    case 6:
        mask = "%dl %dd %ml %yyyy %hh:%ii";
        break;
    case 7:
        mask = "%dd %mm %yyyy %hh:%ii";
        break;
    case 8:
        mask = "%dd/%mm/%yyyy %hh:%ii";
        break;
    case 9:
        mask = "%yyyy/%mm/%dd %hh:%ii";
        break;
    default:
        mask = "%ds %dd %mm %yyyy %hh:%ii";
        break;
    }
    const DateFields f = Date_Split(date);
    const std::string dayName =
        Lng(f.WeekDay == 0 ? L_Day_Sun : static_cast<LngEntry>(L_Day_Mon + f.WeekDay - 1));
    const std::string monthName = Lng(static_cast<LngEntry>(L_Month_Jan + f.Month - 1));
    std::string text = Date_Format(mask, date);
    text = ReplaceAllNoCase(text, "%ms", Utf8Left(monthName, 4));
    text = ReplaceAllNoCase(text, "%ml", monthName);
    text = ReplaceAllNoCase(text, "%ds", Utf8Left(dayName, 3));
    text = ReplaceAllNoCase(text, "%dl", dayName);
    return text;
}
