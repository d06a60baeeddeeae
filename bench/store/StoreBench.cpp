// Item store benchmark.
//   store_bench generate DIR [FEEDS] [ARTICLES]  builds a data folder (catalogue + Feeds/)
//   store_bench load DIR                         Feed_Read of every feed
//   store_bench slurp DIR                        every file read whole and kept in memory
//   store_bench save DIR                         Feed_Read, every feed marked changed, Feed_Save
// Each mode prints one line "mode=... ms=... articles=... peak_kb=...".
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "catalogue/core/Items.h"
#include "catalogue/core/ItemsFile.h"
#include "catalogue/core/Records.h"
#include "platform/core/FileUtil.h"
#include "shell/base/Log.h"

static const char* kWords[] = {
    "gouvernement", "réforme",     "élection",  "budget",     "santé",     "climat",   "énergie",
    "football",     "championnat", "musique",   "festival",   "cinéma",    "économie", "marché",
    "entreprise",   "emploi",      "école",     "université", "recherche", "science",  "espace",
    "technologie",  "smartphone",  "logiciel",  "sécurité",   "données",   "internet", "réseau",
    "ville",        "région",      "Europe",    "Afrique",    "Asie",      "Amérique", "président",
    "ministre",     "accord",      "sommet",    "crise",      "tempête",   "incendie", "transport",
    "train",        "grève",       "hausse",    "baisse",     "record",    "victoire", "défaite",
    "podcast",      "épisode",     "interview", "analyse",    "enquête",   "nouveau",  "première",
    "the",          "new",         "report",    "update",     "weekly",    "review",   "live"};
static const int kWordCount = sizeof kWords / sizeof kWords[0];

static std::string Words(std::mt19937& r, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) {
        if (i) s += ' ';
        s += kWords[r() % kWordCount];
    }
    return s;
}

static std::string Description(std::mt19937& r) {
    const size_t target = 1024 + r() % 2048;
    std::string d = "<p>";
    while (d.size() < target) {
        d += Words(r, 8 + r() % 12);
        d += r() % 5 == 0 ? ".</p>\n<p>" : ". ";
        if (r() % 9 == 0)
            d +=
                "<a href=\"https://www.example.com/article/" + std::to_string(r()) + "\">lien</a> ";
    }
    return d + "</p>";
}

static void BuildCatalogue(int feeds) {
    RssList.Clear();
    for (int f = 0; f < feeds; ++f) {
        RssList.Reset();
        Rss& feed = RssList.AddLast();
        feed.Name = "Flux " + std::to_string(f);
        feed.Url = "https://site" + std::to_string(f) + ".example.com/rss.xml";
        feed.ItemsFileName = "site" + std::to_string(f) + ".example.com.Txt";
        feed.RssID = 10001 + f;
        feed.Flags = RSSFLAG_ACTUALIZE_ON_START;
    }
}

static void WriteCatalogue(const std::string& path) {
    std::string out = "\xEF\xBB\xBF; Orvalis 1.10.1708.2300\r\n; List of " +
                      std::to_string(RssList.Size()) + " Feeds\r\n";
    for (const Rss& f : RssList)
        out += "[" + f.Name + "]\r\nUrl = " + f.Url + "\r\nItemsFileName = " + f.ItemsFileName +
               "\r\n\r\n";
    File_WriteAll(path, out);
}

static long long PeakKb() {
    struct rusage u {};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

// CPU time (user + system) of this process so far, in milliseconds: steadier than the
// wall clock on a shared machine.
static double CpuMs() {
    struct rusage u {};
    getrusage(RUSAGE_SELF, &u);
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1000.0 +
           (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1000.0;
}

static double Ms(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

static size_t Articles() {
    size_t n = 0;
    for (const Rss& f : RssList)
        n += f.Items.Size();
    return n;
}

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: store_bench generate|load|save DIR [FEEDS] [ARTICLES]\n");
        return 2;
    }
    const std::string mode = argv[1], dir = argv[2];
    const int feeds = argc > 3 ? std::atoi(argv[3]) : 400;
    const int articles = argc > 4 ? std::atoi(argv[4]) : 400;
    Dir_Create(dir);
    if (chdir(dir.c_str()) != 0) return 1;
    Log_SetFile("/dev/null");
    if (mode == "generate") {
        BuildCatalogue(feeds);
        std::mt19937 r(42);
        for (Rss& feed : RssList)
            for (int k = 0; k < articles; ++k) {
                Item item;
                item.Title = Words(r, 5 + r() % 8);
                item.Title[0] = static_cast<char>(std::toupper(item.Title[0]));
                item.Description = Description(r);
                item.Link =
                    feed.Url.substr(0, feed.Url.size() - 7) + "article/" + std::to_string(k);
                item.GUID = item.Link;
                item.Date = 1700000000 + k * 3600;
                item.Readed = (k % 3 == 0) ? 1700000017 : 0;
                if (k % 4 == 0) {
                    item.AudioLink = item.Link + "/episode.mp3";
                    item.AudioFileLength = 25000000 + r() % 1000000;
                    item.ItunesDuration = 1800 + r() % 1800;
                }
                Item_AddTo(feed, item, 1);
            }
        WriteCatalogue("ListRSSU.Ini");
        const auto start = std::chrono::steady_clock::now();
        Feed_Save();
        std::printf("mode=generate ms=%.0f articles=%zu peak_kb=%lld\n", Ms(start), Articles(),
                    PeakKb());
        return 0;
    }
    BuildCatalogue(feeds);
    auto start = std::chrono::steady_clock::now();
    double cpu = CpuMs();
    if (mode == "slurp") {
        // The floor for a store held in memory: every file read whole and kept.
        std::vector<std::string> kept;
        size_t bytes = 0;
        for (const Rss& f : RssList) {
            kept.emplace_back();
            File_ReadAll(std::string("Feeds/") + f.ItemsFileName, kept.back());
            bytes += kept.back().size();
        }
        std::printf("mode=slurp ms=%.0f cpu_ms=%.0f bytes=%zu peak_kb=%lld\n", Ms(start),
                    CpuMs() - cpu, bytes, PeakKb());
        return 0;
    }
    Feed_Read();
    const double loadMs = Ms(start), loadCpu = CpuMs() - cpu;
    if (mode == "load") {
        std::printf("mode=load ms=%.0f cpu_ms=%.0f articles=%zu peak_kb=%lld\n", loadMs, loadCpu,
                    Articles(), PeakKb());
        return 0;
    }
    for (Rss& f : RssList)
        f.ItemsChanged = 1;
    start = std::chrono::steady_clock::now();
    cpu = CpuMs();
    const int failed = Feed_Save();
    std::printf("mode=save ms=%.0f cpu_ms=%.0f articles=%zu peak_kb=%lld failed=%d\n", Ms(start),
                CpuMs() - cpu, Articles(), PeakKb(), failed);
    return failed ? 1 : 0;
}
