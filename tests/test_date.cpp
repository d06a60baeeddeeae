// Feed dates in RFC 822, ISO 8601 and short forms, zones, the local offset with TZ set,
// and the ten display layouts.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "shell/base/Lng.h"
#include "shell/base/Prefs.h"
#include "support/TestSupport.h"
#include "update/core/Date.h"
#include "update/core/XML_Qn.h"

namespace {
// Sets TZ for one test and puts the previous value back.
class ScopedTz {
  public:
    explicit ScopedTz(const char* tz) {
        const char* old = std::getenv("TZ");
        m_had = old != nullptr;
        if (old) m_old = old;
        setenv("TZ", tz, 1);
        tzset();
    }
    ~ScopedTz() {
        if (m_had)
            setenv("TZ", m_old.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

  private:
    bool m_had = false;
    std::string m_old;
};

int32_t D(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return Date_Make(y, mo, d, h, mi, s);
}
} // namespace

TEST(Date, MakeAndSplitRoundTripAcrossTheWholeRange) {
    EXPECT_EQ(D(1970, 1, 1, 0, 0, 1), 1);
    EXPECT_EQ(D(2038, 1, 19, 3, 14, 7), INT32_MAX);
    EXPECT_EQ(D(2038, 1, 19, 3, 14, 8), 0); // one second too late
    EXPECT_EQ(D(1901, 12, 13, 20, 45, 52), INT32_MIN);
    EXPECT_EQ(D(1901, 12, 13, 20, 45, 51), 0); // one second too early
    EXPECT_EQ(D(2024, 2, 30), 0);
    EXPECT_NE(D(2024, 2, 29), 0);
    EXPECT_EQ(D(2023, 2, 29), 0);
    const DateFields f = Date_Split(D(1960, 3, 4, 5, 6, 7));
    EXPECT_EQ(f.Year, 1960);
    EXPECT_EQ(f.Month, 3);
    EXPECT_EQ(f.Day, 4);
    EXPECT_EQ(f.Hour, 5);
    EXPECT_EQ(f.Minute, 6);
    EXPECT_EQ(f.Second, 7);
    EXPECT_EQ(f.WeekDay, 5); // a Friday
    EXPECT_EQ(Date_Split(D(2024, 5, 1)).WeekDay, 3);
}

TEST(Date, MaskFormatAndParseUseTheStoredForm) {
    const int32_t d = D(2006, 1, 2, 15, 4, 5);
    EXPECT_EQ(Date_Format("%yyyy/%mm/%dd %hh:%ii", d), "2006/01/02 15:04");
    EXPECT_EQ(Date_Format("%yy-%ss", d), "06-05");
    EXPECT_EQ(Date_Parse("%yyyy/%mm/%dd %hh:%ii", "2006/01/02 15:04"), D(2006, 1, 2, 15, 4));
    bool ok = true;
    EXPECT_EQ(Date_Parse("%yyyy/%mm/%dd", "2006/13/02", &ok), 0);
    EXPECT_FALSE(ok);
    EXPECT_EQ(Date_Parse("%yyyy/%mm/%dd", "1970/01/01", &ok), 0);
    EXPECT_TRUE(ok); // the epoch itself is a readable date
}

struct ZoneRow {
    const char* Zone;
    int32_t Seconds;
    const char* Quirk;
};

TEST(Date, ZoneToSecondsReadsEveryZoneForm) {
    const ZoneRow rows[] = {
        {"+0100", 3600, "numeric offset"},
        {"+0130", 5400, "half-hour offset"},
        {"-0500", -18000, "negative offset"},
        {"+01:00", 3600, "offset with a colon"},
        {"GMT", 0, "GMT alone"},
        {"gmt+2", 7200, "GMT followed by hours only"},
        {"GMT-03:30", -12600, "GMT followed by a colon offset"},
        {"EST", 0, "zone names count as 0"},
        {"Z", 0, "Z counts as 0"},
        {"", 0, "no zone"},
        {"+1400", 43200, "clamped to 12 hours"},
        {"-9999", -43200, "clamped on the negative side"},
    };
    for (const ZoneRow& r : rows)
        EXPECT_EQ(ZoneToSeconds(r.Zone), r.Seconds) << r.Quirk << ": " << r.Zone;
}

struct ParseRow {
    const char* Text;
    int32_t Expected;
    const char* Quirk;
};

TEST(Date, FeedParseDateReadsEveryFormWithTheOffsetOfTheLocalZone) {
    TimeZoneOffset = -60; // one hour ahead of UTC
    const ParseRow rows[] = {
        {"Mon, 02 Jan 2006 15:04:05 +0100", D(2006, 1, 2, 15, 4), "zoned, seconds dropped"},
        {"Mon, 2 Jan 06 15:04:05 GMT", D(2006, 1, 2, 16, 4), "two-digit year, GMT"},
        {"Mon,   02  Jan 2006 15:04:05 +0100", D(2006, 1, 2, 15, 4), "runs of blanks"},
        {"  Mon, 02 JAN 2006 15:04 +0100\n", D(2006, 1, 2, 15, 4), "upper-case month, padding"},
        {"Tue, 10 Jun 2003 04:00:00 EST", D(2003, 6, 10, 5, 0), "zone name read as UTC"},
        {"Sat, 01 Jan 2000 00:30:00 +1400", D(1999, 12, 31, 13, 30), "zone clamped to 12 h"},
        {"Mon, 02 Jan 2006", D(2006, 1, 2, 1, 0), "no time: midnight UTC"},
        {"02 Jan 2006 15:04:05 GMT", 0, "no weekday, no comma"},
        {"Mon, 02 Foo 2006 15:04:05 GMT", 0, "unknown month"},
        {"Mon, 02 an 2006 15:04:05 GMT", 0, "part of a month name is no month"},
        {"Thu, 31 Dec 99 10:00:00 GMT", 0, "year 99 is not 1999"},
        {"Mon, 31 Feb 2006 10:00:00 GMT", 0, "no such day"},
        {"Tue, 19 Jan 2038 03:14:07 GMT", 0, "past the 32-bit range once made local"},
        {"Fri, 13 Dec 1901 20:46:00 GMT", D(1901, 12, 13, 21, 46), "first minute of the range"},
        {"Fri, 13 Dec 1901 19:00:00 GMT", 0, "before the 32-bit range"},
        {"Mon, 02 Jan 2006 99:99 GMT", D(2006, 1, 2, 1, 0), "impossible time: midnight"},
        {"2003-12-13T18:30:02Z", D(2003, 12, 13, 18, 30, 2), "ISO with Z taken as stated"},
        {"2003-12-13T18:30:02+01:00", D(2003, 12, 13, 18, 30, 2), "ISO offset ignored"},
        {"2003-12-13T18:30:02.123-05:00", D(2003, 12, 13, 18, 30, 2), "ISO fractions"},
        {"2003-12-13 18:30:02", D(2003, 12, 13, 18, 30, 2), "ISO with a blank for T"},
        {"2003-12-13T25:30:02Z", D(2003, 12, 13), "ISO hour out of range: the day alone"},
        {"2003-12-13", D(2003, 12, 13), "short date at midnight"},
        {" 2003-12-13 ", D(2003, 12, 13), "short date trimmed"},
        {"2003-13-13", 0, "short date month out of range"},
        {"2003/12/13", 0, "slashes are no short date"},
        {"9999-12-31T00:00:00Z", 0, "ISO beyond 2038"},
        {"", 0, "empty"},
        {"yesterday", 0, "words"},
    };
    for (const ParseRow& r : rows)
        EXPECT_EQ(Feed_ParseDate(r.Text), r.Expected) << r.Quirk << ": " << r.Text;
    TimeZoneOffset = 0;
}

TEST(Date, ParseRFC822DateGivesUtcOnlyWhenAskedToApplyTheZone) {
    EXPECT_EQ(ParseRFC822Date("Mon, 02 Jan 2006 15:04:05 +0100", 1), D(2006, 1, 2, 14, 4));
    EXPECT_EQ(ParseRFC822Date("Mon, 02 Jan 2006 15:04:05 +0100", 0), D(2006, 1, 2, 15, 4));
}

struct TzRow {
    const char* Tz;
    int32_t Minutes;
    const char* Quirk;
};

TEST(Date, LocalOffsetFollowsTzAndItsDaylightSaving) {
    const TzRow rows[] = {
        {"UTC0", 0, "UTC"},
        {"XST-3", -180, "three hours ahead, no daylight saving"},
        {"XST+5", 300, "five hours behind"},
        {"XST-5:30", -330, "half-hour zone"},
        // Daylight saving all year long: the daylight bias always applies.
        {"XST-1XDT,J1/0,J365/25", -120, "daylight saving in effect"},
        // Daylight saving defined but never in effect.
        {"XST-1XDT,J365/23,J365/24", -60, "daylight saving not in effect"},
    };
    for (const TzRow& r : rows) {
        ScopedTz tz(r.Tz);
        EXPECT_EQ(GetLocalOffsetTimeZone(), r.Minutes) << r.Quirk << ": " << r.Tz;
    }
}

TEST(Date, FeedDateTakesTheNewestChildDate) {
    TimeZoneOffset = 0;
    auto doc = Xml_ParseUtf8("<rss><channel>"
                             "<PubDate>Mon, 02 Jan 2006 15:04:05 GMT</PubDate>"
                             "<lastBuildDate>Tue, 03 Jan 2006 10:00:00 GMT</lastBuildDate>"
                             "<dc:date>2005-01-01T00:00:00Z</dc:date>"
                             "<item><published>2007-01-01T00:00:00Z</published>"
                             "<updated>nonsense</updated></item>"
                             "</channel></rss>");
    ASSERT_EQ(doc->ErrorCode(), 0);
    const XmlNode* channel = XmlChild(doc->RootElement(), "channel", 0);
    EXPECT_EQ(GetFeedDate(channel, 0), D(2006, 1, 3, 10, 0));
    EXPECT_EQ(GetFeedDate(channel, D(2010, 1, 1)), D(2010, 1, 1));
    const XmlNode* item = XmlChild(channel, "item", 0);
    EXPECT_EQ(GetItemDate(item, 0), D(2007, 1, 1));
    EXPECT_EQ(GetItemDate(nullptr, 5), 5);
}

struct LayoutRow {
    int Layout;
    const char* Text;
};

TEST(Date, EveryLayoutShowsTheFrenchDayAndMonthNames) {
    if (*Lng_French(L_Day_Wed) == '\0') GTEST_SKIP() << "language table not filled in yet";
    const int32_t d = D(2024, 5, 1, 8, 5); // a Wednesday
    const LayoutRow rows[] = {
        {0, "Mer 01 05 2024 08:05"},       {1, "Mer 01/05/2024 08:05"},
        {2, "Mercredi 01 05 2024 08:05"},  {3, "Mercredi 01/05/2024 08:05"},
        {4, "01 Mai 2024 08:05"},          {5, "Mer 01 Mai 2024 08:05"},
        {6, "Mercredi 01 Mai 2024 08:05"}, {7, "01 05 2024 08:05"},
        {8, "01/05/2024 08:05"},           {9, "2024/05/01 08:05"},
        {42, "Mer 01 05 2024 08:05"},
    };
    for (const LayoutRow& r : rows)
        EXPECT_EQ(FormatItemDate(d, r.Layout), r.Text) << "layout " << r.Layout;
    EXPECT_EQ(FormatItemDate(D(2024, 12, 1, 0, 0), 6), "Dimanche 01 D\xC3\xA9"
                                                       "cembre 2024 00:00");
    EXPECT_EQ(FormatItemDate(D(2024, 2, 3, 0, 0), 5), "Sam 03 F\xC3\xA9vrier 2024 00:00");
}

TEST(Date, FormatItemDateOfNoDateIsEmptyAndMinusOneTakesThePreference) {
    EXPECT_EQ(FormatItemDate(0, 9), "");
    Pref.FormatDate = 9;
    EXPECT_EQ(FormatItemDate(D(2024, 5, 1, 8, 5), -1), "2024/05/01 08:05");
    Pref.FormatDate = 0;
}

TEST(Date, ToolPrintsTheValueAndTheStoredForm) {
    const ProcessResult r = RunTool(
        {"date", "Mon, 02 Jan 2006 15:04:05 +0100", "nonsense", "2003-12-13"}, {}, {"TZ=XST-1"});
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_EQ(r.Out, std::to_string(D(2006, 1, 2, 15, 4)) + "\t2006/01/02 15:04\n0\t\n" +
                         std::to_string(D(2003, 12, 13)) + "\t2003/12/13 00:00\n");
}
