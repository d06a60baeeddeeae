#include "plugins/extractors/frame/ItemWriter.h"

#include "platform/core/Hash.h"
#include "platform/core/Text.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <thread>
#include <unistd.h>

int ExtractorOutputFd = 1;

static WriterOptions g_options;
static std::string g_runDate;
static std::time_t g_runTime = 0;

void Writer_Configure(const WriterOptions& options) {
    g_options = options;
}

static std::string TwoDigits(int v) {
    char b[16];
    std::snprintf(b, sizeof b, "%02d", v % 100);
    return b;
}

std::string FormatLocalDate(std::time_t t, std::string_view mask) {
    std::tm tm{};
    localtime_r(&t, &tm);
    char year[16];
    std::snprintf(year, sizeof year, "%04d", tm.tm_year + 1900);
    std::string r;
    for (size_t i = 0; i < mask.size();) {
        const std::string_view rest = mask.substr(i);
        if (rest.starts_with("%yyyy")) {
            r += year;
            i += 5;
        } else if (rest.starts_with("%yy")) {
            r += TwoDigits(tm.tm_year + 1900);
            i += 3;
        } else if (rest.starts_with("%mm")) {
            r += TwoDigits(tm.tm_mon + 1);
            i += 3;
        } else if (rest.starts_with("%dd")) {
            r += TwoDigits(tm.tm_mday);
            i += 3;
        } else if (rest.starts_with("%hh")) {
            r += TwoDigits(tm.tm_hour);
            i += 3;
        } else if (rest.starts_with("%ii")) {
            r += TwoDigits(tm.tm_min);
            i += 3;
        } else if (rest.starts_with("%ss")) {
            r += TwoDigits(tm.tm_sec);
            i += 3;
        } else {
            r.push_back(mask[i++]);
        }
    }
    return r;
}

void RunDate_Take(std::time_t now) {
    g_runTime = now;
    g_runDate = FormatLocalDate(now, "%yyyy-%mm-%ddT%hh:00:00Z");
}

const std::string& RunDate() {
    return g_runDate;
}

std::time_t RunTime() {
    return g_runTime;
}

std::string CleanOutputValue(std::string_view text, bool squeezeSpaces) {
    std::string r;
    r.reserve(text.size());
    for (char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (c == '\n')
            r += "<br>";
        else if (u == 0 || u > 31)
            r.push_back(c);
    }
    if (squeezeSpaces) {
        std::string s;
        s.reserve(r.size());
        for (char c : r)
            if (!(c == ' ' && !s.empty() && s.back() == ' ')) s.push_back(c);
        r = std::move(s);
    }
    return r;
}

bool WriteLine(std::string_view ansiText) {
    std::string line(ansiText);
    line += "\r\n";
    const std::string bytes = Utf8ToUtf16LEBytes(Cp1252ToUtf8(line));
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(ExtractorOutputFd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    // Paces the pipe for the reader, whose idle budget every line renews.
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return true;
}

void WriteItem(const FeedItem& item) {
    const bool sq = g_options.SqueezeSpaces;
    std::string date = g_runDate;
    if (g_options.ItemDates)
        date = item.PubDate.empty()
                   ? FormatLocalDate(std::time(nullptr), "%yyyy-%mm-%ddT%hh:%ii:00Z")
                   : item.PubDate;
    WriteLine("Orvalis");
    WriteLine("AudioLink=" + CleanOutputValue(item.AudioLink, sq));
    WriteLine("Description=" + CleanOutputValue(item.Description, sq));
    WriteLine("GuID=" + CleanOutputValue(item.GuID, sq));
    WriteLine("Link=" + CleanOutputValue(item.Link, sq));
    WriteLine("PubDate=" + CleanOutputValue(date, sq));
    WriteLine("Title=" + CleanOutputValue(item.Title, sq));
}

std::string Crc32Decimal(std::string_view bytes) {
    return std::to_string(Crc32(bytes));
}

std::string SiteLink(std::string_view site, std::string_view href) {
    if (href.empty()) return {};
    if (StartsWithNoCase(href, "http://") || StartsWithNoCase(href, "https://"))
        return std::string(href);
    if (href.starts_with("//")) return "https:" + std::string(href);
    return std::string(site) + std::string(href);
}
