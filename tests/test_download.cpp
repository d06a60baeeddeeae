// Downloads against real servers on 127.0.0.1: the list of methods, each method's
// results and statuses, the own HTTP client's exact bytes, the proxy tunnel, and stop
// requests that end a transfer whatever the server does.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/core/CurlFetch.h"
#include "platform/core/FileUtil.h"
#include "platform/core/Hash.h"
#include "platform/core/NetSocket.h"
#include "platform/core/Text.h"
#include "shell/base/Log.h"
#include "support/LocalHttpServer.h"
#include "support/TestSupport.h"
#include "update/net/DownloadTool.h"
#include "update/net/PureHttp.h"

namespace {

class Download : public ::testing::Test {
  protected:
    void SetUp() override {
        // Requests to 127.0.0.1 must never go to a proxy of the environment.
        setenv("no_proxy", "127.0.0.1,localhost", 1);
        setenv("NO_PROXY", "127.0.0.1,localhost", 1);
        Log_Reset();
        ThreadStopMask_Set(0);
        DownloadProgress_Set("");
        CurlFetch_SetExtraCaFile("");
        ASSERT_TRUE(Network_Init());
    }
    void TearDown() override { ThreadStopMask_Set(0); }

    static DownloadSettings Methods(const std::string& list) {
        DownloadSettings s;
        s.DownloadPriority = list;
        return s;
    }
    // The log lines written since SetUp.
    static std::vector<std::string> LogLines() {
        std::vector<std::string> lines;
        for (const auto& l : Split(ReplaceAll(Log_Text(), "\r\n", "\n"), '\n'))
            if (!l.empty()) lines.push_back(l);
        return lines;
    }
    std::string Out(const std::string& name = "out.bin") const { return dir.File(name); }

    TempDir dir;
    LocalHttpServer server;
};

std::string BigBody(size_t size) {
    std::string s(size, '\0');
    for (size_t i = 0; i < size; ++i)
        s[i] = static_cast<char>('a' + (i * 7 + i / 4096) % 26);
    return s;
}

// Asks the threads named by `bit` to stop after `ms`.
std::thread StopLater(uint32_t bit, int ms) {
    return std::thread([bit, ms] {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        ThreadStopMask_Set(bit);
    });
}

long long MillisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start)
        .count();
}

} // namespace

// ---------------------------------------------------------------- the own client's texts

TEST(PureHttpText, UrlPartSplitsHostPathAndFileName) {
    struct Row {
        const char* Url;
        int Part;
        const char* Expected;
    } rows[] = {
        {"http://host.test/a/b.xml", 0, "host.test"},
        {"http://host.test/a/b.xml", 1, "/a/b.xml"},
        {"http://host.test/a/b.xml", 2, "b.xml"},
        {"http://host.test:8080/x", 0, "host.test:8080"}, // the port stays with the host
        {"http://host.test", 1, ""},                      // no path at all
        {"http://host.test/dir/", 2, "index.html"},       // empty last field
        {"http://host.test/feed", 2, "index.html"},       // last field without a dot
        {"https://host.test/a", 0, ""},                   // only "http://" is understood
        {"HTTP://host.test/a", 0, ""},                    // and only in lower case
        {"http://host.test/a", 3, ""},                    // unknown part number
    };
    for (const Row& r : rows)
        EXPECT_EQ(PureHttp_UrlPart(r.Url, r.Part), r.Expected) << r.Url << " part " << r.Part;
}

TEST(PureHttpText, RequestIsByteForByteWithAndWithoutCredentials) {
    HttpRequest r;
    r.Host = "host.test";
    r.Path = "/feed.xml";
    EXPECT_EQ(PureHttp_Request(r), "GET /feed.xml HTTP/1.0\r\nhost: host.test\r\nConnection: "
                                   "Close\r\nUser-Agent: PureHTTP\r\n\r\n");
    r.User = "Aladdin";
    r.Password = "open sesame";
    EXPECT_EQ(PureHttp_Request(r),
              "GET /feed.xml HTTP/1.0\r\nhost: host.test\r\nAuthorization: Basic "
              "QWxhZGRpbjpvcGVuIHNlc2FtZQ==\r\nConnection: Close\r\nUser-Agent: PureHTTP\r\n\r\n");
    r.User.clear(); // one credential alone sends none
    r.Path = "";    // a path of at most one character becomes "/"
    EXPECT_EQ(PureHttp_Request(r), "GET / HTTP/1.0\r\nhost: host.test\r\nConnection: "
                                   "Close\r\nUser-Agent: PureHTTP\r\n\r\n");
}

// ---------------------------------------------------------------- each method, plain file

TEST_F(Download, EveryMethodDownloadsAPlainFileAndLogsIt) {
    server.Serve("/a.txt", HttpOk("hello world\n"));
    for (const std::string method : {"WinINet", "API", "Pure", "PureHttp"}) {
        Log_Reset();
        File_Delete(Out());
        ASSERT_EQ(DownloadFile(server.Url("/a.txt"), Out(), 0, 0, Methods(method + ";")), 1)
            << method;
        EXPECT_EQ(ReadFileOrEmpty(Out()), "hello world\n") << method;
        EXPECT_FALSE(File_Exists(Out() + ".part")) << method;
        const auto lines = LogLines();
        ASSERT_EQ(lines.size(), 1u) << method;
        const bool measured = method == "WinINet" || method == "PureHttp";
        EXPECT_EQ(lines[0].rfind(" Downloaded by " + method +
                                     ", TotalBytes=" + (measured ? "12" : "0") + ", TotalTime=",
                                 0),
                  0u)
            << lines[0];
        const std::string tail = "ms, KBPS=" + std::string(measured ? "" : "0, ");
        EXPECT_NE(lines[0].find(tail), std::string::npos) << lines[0];
        EXPECT_TRUE(EndsWithNoCase(lines[0], ", " + server.Url("/a.txt"))) << lines[0];
    }
}

TEST_F(Download, PureHttpSendsExactlyItsRequestBytes) {
    server.Serve("/dir/feed.xml", HttpOk("<rss/>"));
    ASSERT_EQ(DownloadFile(server.Url("/dir/feed.xml"), Out(), 0, 0, Methods("PureHttp;")), 1);
    EXPECT_EQ(server.LastRequest(), "GET /dir/feed.xml HTTP/1.0\r\nhost: " + server.HostPort() +
                                        "\r\nConnection: Close\r\nUser-Agent: PureHTTP\r\n\r\n");
}

TEST_F(Download, WinINetSendsTheAgentAndAsksForAFreshCopy) {
    server.Serve("/a", HttpOk("x"));
    DownloadSettings s = Methods("WinINet;");
    s.NetAgent = "AgentSmith";
    ASSERT_EQ(DownloadFile(server.Url("/a"), Out(), 0, 0, s), 1);
    EXPECT_NE(server.LastRequest().find("User-Agent: AgentSmith\r\n"), std::string::npos);
    EXPECT_NE(server.LastRequest().find("Cache-Control: no-cache\r\n"), std::string::npos);
    s.NetAgent = ""; // an empty agent falls back to the program's own
    ASSERT_EQ(DownloadFile(server.Url("/a"), Out(), 0, 0, s), 1);
    EXPECT_NE(server.LastRequest().find("User-Agent: QuenbelS (compatible; ST)\r\n"),
              std::string::npos);
}

TEST_F(Download, ItpcAddressesAreFetchedAsHttpInAnyCase) {
    server.Serve("/pod.xml", HttpOk("<rss/>"));
    const std::string url = "ItPc://" + server.HostPort() + "/pod.xml";
    ASSERT_EQ(DownloadFile(url, Out(), 0, 0, Methods("PureHttp;")), 1);
    EXPECT_NE(LogLines().at(0).find(", http://" + server.HostPort() + "/pod.xml"),
              std::string::npos);
}

TEST_F(Download, NothingIsTriedWithoutNetworkOrAddressOrFile) {
    server.Serve("/a", HttpOk("x"));
    Network_SetAvailable(false);
    EXPECT_EQ(DownloadFile(server.Url("/a"), Out(), 0, 0, Methods("PureHttp;")), 0);
    Network_SetAvailable(true);
    EXPECT_EQ(DownloadFile("", Out(), 0, 0, Methods("PureHttp;")), 0);
    EXPECT_EQ(DownloadFile(server.Url("/a"), "", 0, 0, Methods("PureHttp;")), 0);
    EXPECT_TRUE(server.Requests().empty());
    EXPECT_TRUE(LogLines().empty());
}

// ---------------------------------------------------------------- the list of methods

TEST_F(Download, AFailedMethodIsLoggedAndTheNextOneTried) {
    server.Serve("/a", HttpOk("body"));
    // "Bogus" is no method: nothing happens for it and the list goes on.
    ASSERT_EQ(
        DownloadFile(server.Url("/missing"), Out(), 0, 0, Methods("WinINet;API;Pure;PureHttp;")),
        0);
    const auto lines = LogLines();
    ASSERT_EQ(lines.size(), 3u); // a failing PureHttp writes no line
    EXPECT_EQ(lines[0], "! Error, not downloaded by WinINet, " + server.Url("/missing"));
    EXPECT_EQ(lines[1], "! Error, not downloaded by API, " + server.Url("/missing"));
    EXPECT_EQ(lines[2], "! Error, not downloaded by Pure, " + server.Url("/missing"));
    EXPECT_EQ(server.Requests().size(), 4u);
}

TEST_F(Download, AnEmptyEntryEndsTheList) {
    EXPECT_EQ(DownloadFile(server.Url("/missing"), Out(), 0, 0, Methods("WinINet;;PureHttp;")), 0);
    EXPECT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(LogLines().size(), 1u);
}

TEST_F(Download, AnUnknownMethodNameIsPassedOver) {
    server.Serve("/a", HttpOk("body"));
    ASSERT_EQ(DownloadFile(server.Url("/a"), Out(), 0, 0, Methods("Bogus;PureHttp;")), 1);
    EXPECT_EQ(LogLines().size(), 1u);
}

TEST_F(Download, AStopBitSetBeforehandTriesNothing) {
    server.Serve("/a", HttpOk("body"));
    ThreadStopMask_Set(2);
    EXPECT_EQ(DownloadFile(server.Url("/a"), Out(), 2, 0, Methods("WinINet;PureHttp;")), 0);
    EXPECT_TRUE(server.Requests().empty());
    // Another thread's bit does not concern this download.
    EXPECT_EQ(DownloadFile(server.Url("/a"), Out(), 1, 0, Methods("WinINet;")), 1);
}

// ---------------------------------------------------------------- progress

TEST(DownloadProgressText, PercentageUntilTheAnnouncedSizeThenMegabytes) {
    struct Row {
        int64_t Expected, Total;
        const char* Text;
    } rows[] = {
        {0, 1048576, "1.00 Mo"},             // no announced size
        {0, 5243, "0.01 Mo"},                // rounded to the nearest hundredth
        {0, 3 * 1048576 / 2, "1.50 Mo"},     // decimal point whatever the locale
        {200, 50, "25%"},                    // whole percentage
        {3, 2, "66%"},                       // cut, not rounded
        {100, 100, "0.00 Mo"},               // size reached: megabytes again
        {5000000000LL, 4999999999LL, "99%"}, // beyond 32 bits
    };
    for (const Row& row : rows) {
        DownloadProgress_Set("before");
        DownloadRequest r;
        r.ExpectedSize = row.Expected;
        r.TotalBytes = row.Total;
        EXPECT_EQ(Download_Progress(&r), 0);
        EXPECT_EQ(DownloadProgress_Get(), row.Text);
    }
    DownloadProgress_Set("kept");
    DownloadRequest none; // nothing received and nothing announced: the text stays
    none.StopBit = 2;
    ThreadStopMask_Set(2 | 8);
    EXPECT_NE(Download_Progress(&none), 0); // the caller's stop state
    EXPECT_EQ(DownloadProgress_Get(), "kept");
    EXPECT_EQ(IsThreadKilled(1), 0u);
    EXPECT_EQ(IsThreadKilled(8), 8u);
    ThreadStopMask_Set(0);
}

TEST_F(Download, ProgressIsAPercentageWithAnAnnouncedSize) {
    const std::string body = BigBody(200000);
    server.Serve("/big", HttpOk(body));
    std::vector<std::string> texts;
    DownloadRequest r;
    r.ExpectedSize = static_cast<int64_t>(body.size());
    r.Callback = [&texts](DownloadRequest* req) {
        const int stop = Download_Progress(req);
        texts.push_back(DownloadProgress_Get());
        return stop;
    };
    ASSERT_EQ(DownloadTool_WinINet(server.Url("/big"), Out(), r), 0);
    EXPECT_EQ(r.TotalBytes, static_cast<int64_t>(body.size()));
    EXPECT_TRUE(ReadFileOrEmpty(Out()) == body);
    ASSERT_GE(texts.size(), 10u);
    // A percentage until the announced size is reached, then the megabytes.
    int last = -1;
    size_t i = 0;
    for (; i < texts.size() && texts[i].back() == '%'; ++i) {
        const int percent = ValInt32(texts[i]);
        EXPECT_GE(percent, last);
        last = percent;
    }
    EXPECT_GE(last, 90);
    ASSERT_LT(i, texts.size());
    for (; i < texts.size(); ++i)
        EXPECT_EQ(texts[i], "0.19 Mo");
}

TEST_F(Download, ProgressIsMegabytesWithoutAnAnnouncedSize) {
    const std::string body = BigBody(3 * 1048576 / 2);
    HttpReply reply = HttpOk(body);
    reply.SendContentLength = false; // the end is the server's close
    server.Serve("/big", reply);
    std::vector<std::string> texts;
    DownloadRequest r;
    r.Callback = [&texts](DownloadRequest* req) {
        const int stop = Download_Progress(req);
        texts.push_back(DownloadProgress_Get());
        return stop;
    };
    ASSERT_EQ(DownloadTool_WinINet(server.Url("/big"), Out(), r), 0);
    EXPECT_TRUE(ReadFileOrEmpty(Out()) == body);
    ASSERT_FALSE(texts.empty());
    for (const auto& t : texts)
        if (!t.empty()) EXPECT_TRUE(EndsWithNoCase(t, " Mo")) << t;
    EXPECT_NE(std::find(texts.begin(), texts.end(), "0.50 Mo"), texts.end());
    EXPECT_EQ(texts.back(), "1.50 Mo");
}

TEST_F(Download, PureHttpTakesALargeBodyWithAndWithoutContentLength) {
    const std::string body = BigBody(1000003);
    server.Serve("/with", HttpOk(body));
    HttpReply without = HttpOk(body);
    without.SendContentLength = false;
    server.Serve("/without", without);
    for (const char* path : {"/with", "/without"}) {
        File_Delete(Out());
        ASSERT_EQ(DownloadFile(server.Url(path), Out(), 0, 0, Methods("PureHttp;")), 1) << path;
        EXPECT_TRUE(ReadFileOrEmpty(Out()) == body) << path;
    }
}

TEST_F(Download, PureHttpFillsAndGrowsAMemoryDestination) {
    const std::string body = BigBody(10000);
    server.Serve("/m", HttpOk(body));
    std::string memory;
    HttpRequest r;
    r.Host = server.HostPort();
    r.Path = "/m";
    r.Memory = &memory;
    ASSERT_EQ(PureHttp_Get(r, 10000), 6);
    EXPECT_EQ(r.TotalBytes, 10000);
    EXPECT_TRUE(memory.substr(0, 10000) == body);
    EXPECT_EQ(memory.size() % 4096, 0u); // whole blocks with one to spare
    EXPECT_GE(memory.size(), 10000u + 4096u - 10000u % 4096u);
    EXPECT_EQ(r.Head.StatusCode, 200);
    EXPECT_EQ(r.Head.ContentLength, 10000);
    EXPECT_EQ(r.Head.ContentType, "text/plain");
}

TEST_F(Download, PureHttpWithoutDestinationEndsWithStatusNine) {
    server.Serve("/m", HttpOk("x"));
    HttpRequest r;
    r.Host = server.HostPort();
    r.Path = "/m";
    EXPECT_EQ(PureHttp_Get(r, 10000), 9);
}

TEST_F(Download, PureHttpReadsAHeadThatArrivesInPieces) {
    HttpReply reply = HttpOk("split body");
    reply.HeadSplit = 10;
    server.Serve("/s", reply);
    ASSERT_EQ(DownloadFile(server.Url("/s"), Out(), 0, 0, Methods("PureHttp;")), 1);
    EXPECT_EQ(ReadFileOrEmpty(Out()), "split body");
}

TEST_F(Download, PureHttpRefusesAnswersWithoutAStatusLine) {
    struct Row {
        const char* Raw;
        int Status;
    } rows[] = {
        {"HTTP/1.0", 8},                             // cut right after the version
        {"HTTP/1.1 2", 8},                           // a code cut short
        {"garbage and more garbage\r\n\r\nbody", 8}, // no status line at all
        {"\r\n\r\nHTTP/1.0 200 OK", 6},              // leading blank lines are passed over
        {"ICY 200 OK\r\n\r\nstream", 8},             // not HTTP/1.x
        {"HTTP/1.0 200 OK\r\n\r\nno length", 6},     // a body ended by the close
    };
    for (const Row& row : rows) {
        HttpReply reply;
        reply.Raw = row.Raw;
        server.Serve("/raw", reply);
        std::string memory;
        HttpRequest r;
        r.Host = server.HostPort();
        r.Path = "/raw";
        r.Memory = &memory;
        EXPECT_EQ(PureHttp_Get(r, 10000), row.Status) << row.Raw;
    }
}

TEST_F(Download, PureHttpCallsTheRecordCallbackOnEveryStatus) {
    server.Serve("/a", HttpOk("abc"));
    std::string memory;
    std::vector<int> statuses;
    HttpRequest r;
    r.Host = server.HostPort();
    r.Path = "/a";
    r.Memory = &memory;
    r.Callback = [&statuses](HttpRequest* req) { statuses.push_back(req->Status); };
    ASSERT_EQ(PureHttp_Get(r, 10000), 6);
    ASSERT_GE(statuses.size(), 4u);
    EXPECT_EQ(statuses[0], 0);
    EXPECT_EQ(statuses[1], 1);
    EXPECT_EQ(statuses.back(), 6);
    EXPECT_NE(std::find(statuses.begin(), statuses.end(), 2), statuses.end());
}

TEST_F(Download, PureHttpHonoursASpeedLimit) {
    server.Serve("/a", HttpOk(BigBody(30000)));
    std::string memory;
    HttpRequest r;
    r.Host = server.HostPort();
    r.Path = "/a";
    r.Memory = &memory;
    r.MaxSpeed = 200; // kilobytes per second
    ASSERT_EQ(PureHttp_Get(r, 10000), 6);
    EXPECT_LE(r.Speed, 200.5f);
    EXPECT_EQ(r.TotalBytes, 30000);
}

// ---------------------------------------------------------------- redirects

TEST_F(Download, RedirectsAreFollowedByEveryMethod) {
    server.Serve("/old", HttpRedirect(server.Url("/new")));
    server.Serve("/new", HttpOk("new body"));
    for (const std::string method : {"WinINet", "API", "Pure", "PureHttp"}) {
        File_Delete(Out());
        ASSERT_EQ(DownloadFile(server.Url("/old"), Out(), 0, 0, Methods(method + ";")), 1)
            << method;
        EXPECT_EQ(ReadFileOrEmpty(Out()), "new body") << method;
    }
}

TEST_F(Download, PureHttpFollowsAChainOnTheSameRecord) {
    server.Serve("/1", HttpRedirect(server.Url("/2"), 301));
    server.Serve("/2", HttpRedirect(server.Url("/3"), 307));
    server.Serve("/3", HttpRedirect("/4", 303)); // an address on the same server
    server.Serve("/4", HttpOk("end of chain"));
    std::string memory;
    HttpRequest r;
    r.Host = server.HostPort();
    r.Path = "/1";
    r.Memory = &memory;
    ASSERT_EQ(PureHttp_Get(r, 10000), 6);
    EXPECT_EQ(memory.substr(0, static_cast<size_t>(r.TotalBytes)), "end of chain");
    EXPECT_EQ(r.Path, "/4");
    EXPECT_EQ(server.Paths(), (std::vector<std::string>{"/1", "/2", "/3", "/4"}));
}

TEST_F(Download, PureHttpGivesUpAfterFiveRedirectsInARow) {
    for (int i = 0; i < 8; ++i)
        server.Serve("/r" + std::to_string(i),
                     HttpRedirect(server.Url("/r" + std::to_string(i + 1))));
    HttpRequest r;
    std::string memory;
    r.Host = server.HostPort();
    r.Path = "/r0";
    r.Memory = &memory;
    EXPECT_EQ(PureHttp_Get(r, 10000), 8);
    EXPECT_EQ(r.Head.StatusText, "302 Found");
    EXPECT_EQ(server.Requests().size(), 6u);
}

TEST_F(Download, ARedirectWithoutLocationIsNoDownloadAndKeepsTheOldFile) {
    server.Serve("/nowhere", HttpRedirect(""));
    WriteFileOrDie(Out(), "good old file");
    HttpRequest r;
    r.Host = server.HostPort();
    r.Path = "/nowhere";
    r.File = Out();
    EXPECT_EQ(PureHttp_Get(r, 10000), 6); // the status the transfer ends with...
    EXPECT_EQ(PureHttp_Succeeded(r), 0);  // ...but nothing was stored
    EXPECT_EQ(r.TotalBytes, 0);
    for (const std::string method : {"WinINet", "API", "Pure", "PureHttp"})
        EXPECT_EQ(DownloadFile(server.Url("/nowhere"), Out(), 0, 0, Methods(method + ";")), 0)
            << method;
    EXPECT_EQ(ReadFileOrEmpty(Out()), "good old file");
}

// ---------------------------------------------------------------- failures

TEST_F(Download, A404IsAFailureForEveryMethod) {
    DownloadRequest req;
    EXPECT_EQ(DownloadTool_WinINet(server.Url("/missing"), Out(), req), 3);
    EXPECT_FALSE(File_Exists(Out()));
    EXPECT_EQ(DownloadTool_API(server.Url("/missing"), Out(), 1), 1);
    EXPECT_EQ(DownloadTool_Receive(server.Url("/missing"), Out(), 1), 1);
    HttpRequest r;
    r.Host = server.HostPort();
    r.Path = "/missing";
    r.File = Out();
    EXPECT_EQ(PureHttp_Get(r, 10000), 8);
    EXPECT_EQ(r.Head.StatusCode, 404);
    EXPECT_EQ(r.Head.StatusText, "404 Not Found");
    EXPECT_FALSE(File_Exists(Out()));
    EXPECT_FALSE(File_Exists(Out() + ".part"));
}

TEST_F(Download, NoServerMeansStatusSevenForPureHttpAndThreeForWinINet) {
    int port = 0;
    {
        LocalHttpServer gone;
        port = gone.Port();
    }
    HttpRequest r;
    r.Host = "127.0.0.1:" + std::to_string(port);
    r.Path = "/a";
    r.File = Out();
    EXPECT_EQ(PureHttp_Get(r, 10000), 7);
    HttpRequest https; // no "http://": no host, no connection
    https.Host = PureHttp_UrlPart("https://127.0.0.1/a", 0);
    https.File = Out();
    EXPECT_EQ(PureHttp_Get(https, 10000), 7);
    DownloadRequest req;
    EXPECT_EQ(DownloadTool_WinINet("http://127.0.0.1:" + std::to_string(port) + "/a", Out(), req),
              3);
}

TEST_F(Download, AnEarlyCloseLeavesNoFileAndKeepsTheOldOne) {
    HttpReply reply = HttpOk(BigBody(50000));
    reply.CloseAfter = 20000;
    server.Serve("/cut", reply);
    for (const std::string method : {"WinINet", "API", "Pure", "PureHttp"}) {
        WriteFileOrDie(Out(), "good old file");
        EXPECT_EQ(DownloadFile(server.Url("/cut"), Out(), 0, 0, Methods(method + ";")), 0)
            << method;
        if (method == "WinINet")
            EXPECT_FALSE(File_Exists(Out())); // its partial file is deleted
        else
            EXPECT_EQ(ReadFileOrEmpty(Out()), "good old file") << method;
        EXPECT_FALSE(File_Exists(Out() + ".part")) << method;
    }
    DownloadRequest req;
    EXPECT_EQ(DownloadTool_WinINet(server.Url("/cut"), Out(), req), 6);
    HttpRequest r;
    r.Host = server.HostPort();
    r.Path = "/cut";
    r.File = Out();
    EXPECT_EQ(PureHttp_Get(r, 10000), 6);
    EXPECT_EQ(r.TotalBytes, 20000);
    EXPECT_EQ(PureHttp_Succeeded(r), 0);
}

TEST_F(Download, ApiRefusesAnEmptyReplyAndKeepsTheOldFile) {
    server.Serve("/empty", HttpOk(""));
    WriteFileOrDie(Out(), "good old file");
    EXPECT_EQ(DownloadTool_API(server.Url("/empty"), Out(), 1), 1);
    EXPECT_EQ(ReadFileOrEmpty(Out()), "good old file");
}

TEST_F(Download, AStallMidBodyEndsOnTheStopBitForEveryMethod) {
    HttpReply reply = HttpOk(BigBody(100000));
    reply.StallAfter = 10000;
    server.Serve("/stall", reply);
    for (const std::string method : {"WinINet", "API", "Pure", "PureHttp"}) {
        ThreadStopMask_Set(0);
        File_Delete(Out());
        const auto start = std::chrono::steady_clock::now();
        std::thread stopper = StopLater(2, 300);
        EXPECT_EQ(DownloadFile(server.Url("/stall"), Out(), 2, 100000, Methods(method + ";")), 0)
            << method;
        stopper.join();
        EXPECT_LT(MillisecondsSince(start), 3000) << method;
        EXPECT_FALSE(File_Exists(Out())) << method;
        EXPECT_FALSE(File_Exists(Out() + ".part")) << method;
    }
}

TEST_F(Download, AStoppedTransferReportsItsStatus) {
    HttpReply reply = HttpOk(BigBody(100000));
    reply.StallAfter = 5000;
    server.Serve("/stall", reply);
    {
        DownloadRequest req;
        req.StopBit = 1;
        req.Callback = &Download_Progress;
        std::thread stopper = StopLater(1, 200);
        EXPECT_EQ(DownloadTool_WinINet(server.Url("/stall"), Out(), req), 1);
        stopper.join();
        EXPECT_FALSE(File_Exists(Out()));
    }
    ThreadStopMask_Set(0);
    {
        HttpRequest r;
        r.Host = server.HostPort();
        r.Path = "/stall";
        r.File = Out();
        r.StopBit = 8;
        std::thread stopper = StopLater(8, 200);
        EXPECT_EQ(PureHttp_Get(r, 10000), 7);
        stopper.join();
        EXPECT_EQ(PureHttp_Succeeded(r), 0);
        EXPECT_FALSE(File_Exists(Out()));
    }
}

TEST_F(Download, AStopEndsAWaitForAProxyThatNeverAnswers) {
    // A listening socket that accepts but never speaks: the server stalls on the head.
    HttpReply silent;
    silent.Raw = "HTTP/1.0 200 Connection established\r\n\r\n";
    silent.StallAfter = 0;
    server.Serve("feeds.example.test:80", silent); // the target of the CONNECT line
    HttpRequest r;
    r.Host = "feeds.example.test";
    r.Path = "/x";
    r.ProxyHost = "127.0.0.1";
    r.ProxyPort = server.Port();
    r.StopBit = 2;
    const auto start = std::chrono::steady_clock::now();
    std::thread stopper = StopLater(2, 300);
    EXPECT_EQ(PureHttp_Get(r, 10000), 0);
    stopper.join();
    EXPECT_EQ(r.Status, 8);
    EXPECT_LT(MillisecondsSince(start), 3000);
}

TEST_F(Download, AServerThatNeverAnswersIsLeftOnTheStopBitByEveryMethod) {
    HttpReply silent;
    silent.Raw = "HTTP/1.1 200 OK\r\n\r\n";
    silent.StallAfter = 0;
    server.Serve("/silent", silent);
    for (const std::string method : {"WinINet", "API", "Pure", "PureHttp"}) {
        ThreadStopMask_Set(0);
        const auto start = std::chrono::steady_clock::now();
        std::thread stopper = StopLater(1, 200);
        EXPECT_EQ(DownloadFile(server.Url("/silent"), Out(), 1, 0, Methods(method + ";")), 0)
            << method;
        stopper.join();
        EXPECT_LT(MillisecondsSince(start), 3000) << method;
        EXPECT_FALSE(File_Exists(Out())) << method;
    }
}

TEST(NetSocket, NameResolutionAndConnectGiveUpOnAStop) {
    EXPECT_FALSE(Net_Resolve("localhost", 80, 5000, {}).empty());
    EXPECT_FALSE(Net_Resolve("127.0.0.1", 80, 5000, [] { return true; }).empty()); // no lookup
    EXPECT_TRUE(Net_Resolve("name.invalid", 80, 5000, [] { return true; }).empty());
    EXPECT_TRUE(Net_Resolve("", 80, 5000, {}).empty());
    NetSocket s;
    EXPECT_FALSE(s.Connect("localhost", 80, 5000, [] { return true; }));
    LocalHttpServer server;
    EXPECT_TRUE(s.Connect("localhost", server.Port(), 5000, {}));
}

TEST(LocalServer, RecordsARequestBodyAndAnswersOnTheSameConnection) {
    LocalHttpServer server;
    server.Serve("/p", HttpOk("pong"));
    NetSocket s;
    ASSERT_TRUE(s.Connect("127.0.0.1", server.Port(), 5000, {}));
    const std::string request = "POST /p HTTP/1.0\r\nContent-Length: 5\r\n\r\nhello";
    ASSERT_TRUE(s.SendAll(request, 5000, {}));
    std::string reply;
    char buf[1024];
    for (long n; (n = s.Receive(buf, sizeof buf, 5000, {})) > 0;)
        reply.append(buf, n);
    EXPECT_EQ(server.LastRequest(), request);
    EXPECT_EQ(reply.substr(0, 17), "HTTP/1.1 200 OK\r\n");
    EXPECT_EQ(reply.substr(reply.size() - 4), "pong");
}

TEST_F(Download, WinINetAndApiUseTheSystemProxyAndPureNever) {
    // The system's proxy settings are the environment's here.
    LocalHttpServer systemProxy;
    systemProxy.Serve("/via-proxy", HttpOk("from the proxy"));
    server.Serve("/via-proxy", HttpOk("direct"));
    setenv("http_proxy", systemProxy.Url("").c_str(), 1);
    unsetenv("no_proxy");
    unsetenv("NO_PROXY");
    for (const std::string method : {"WinINet", "API", "Pure"}) {
        File_Delete(Out());
        EXPECT_EQ(DownloadFile(server.Url("/via-proxy"), Out(), 0, 0, Methods(method + ";")), 1);
        EXPECT_EQ(ReadFileOrEmpty(Out()), method == "Pure" ? "direct" : "from the proxy") << method;
    }
    unsetenv("http_proxy");
    ASSERT_EQ(systemProxy.Requests().size(), 2u);
    EXPECT_EQ(
        systemProxy.Requests()[0].rfind("GET " + server.Url("/via-proxy") + " HTTP/1.1\r\n", 0),
        0u);
}

// ---------------------------------------------------------------- proxy

TEST_F(Download, WithTheProxyOnOnlyPureHttpIsTriedThroughAConnectTunnel) {
    server.Serve("/feed.xml", HttpOk("<rss/>"));
    LocalConnectProxy proxy(server.Port());
    DownloadSettings s = Methods("WinINet;API;Pure;PureHttp;");
    s.UseProxy = true;
    s.ProxyHost = "127.0.0.1";
    s.ProxyPort = proxy.Port();
    ASSERT_EQ(DownloadFile("http://feeds.example.test/feed.xml", Out(), 0, 0, s), 1);
    EXPECT_EQ(ReadFileOrEmpty(Out()), "<rss/>");
    EXPECT_EQ(proxy.Requests(),
              (std::vector<std::string>{"CONNECT feeds.example.test:80 HTTP/1.0\r\n\r\n"}));
    EXPECT_EQ(server.LastRequest(), "GET /feed.xml HTTP/1.0\r\nhost: feeds.example.test\r\n"
                                    "Connection: Close\r\nUser-Agent: PureHTTP\r\n\r\n");
    const auto lines = LogLines();
    ASSERT_EQ(lines.size(), 1u); // the other methods are skipped silently
    EXPECT_EQ(lines[0].rfind(" Downloaded by PureHttp, TotalBytes=6, ", 0), 0u);
}

TEST_F(Download, TheProxyCredentialsGoInBothAuthorizationLines) {
    server.Serve("/feed.xml", HttpOk("<rss/>"));
    LocalConnectProxy proxy(server.Port());
    proxy.RequireCredentials("jean", "s3cret");
    DownloadSettings s = Methods("PureHttp;");
    s.UseProxy = true;
    s.ProxyHost = "127.0.0.1";
    s.ProxyPort = proxy.Port();
    s.ProxyID = "jean";
    s.ProxyPassWord = "s3cret";
    ASSERT_EQ(DownloadFile("http://feeds.example.test/feed.xml", Out(), 0, 0, s), 1);
    EXPECT_EQ(proxy.Requests(),
              (std::vector<std::string>{"CONNECT feeds.example.test:80 HTTP/1.0\r\n"
                                        "Authorization: Basic amVhbjpzM2NyZXQ=\r\n"
                                        "Proxy-Authorization: Basic amVhbjpzM2NyZXQ=\r\n\r\n"}));
    // Without the password the proxy refuses and nothing is downloaded.
    s.ProxyPassWord.clear();
    File_Delete(Out());
    EXPECT_EQ(DownloadFile("http://feeds.example.test/feed.xml", Out(), 0, 0, s), 0);
    EXPECT_EQ(proxy.Requests().back(), "CONNECT feeds.example.test:80 HTTP/1.0\r\n\r\n");
    EXPECT_FALSE(File_Exists(Out()));
}

TEST_F(Download, ARefusedTunnelGivesUpBeforeTheTransfer) {
    LocalConnectProxy proxy(server.Port());
    proxy.Refuse("HTTP/1.0 403 Forbidden");
    HttpRequest r;
    r.Host = "feeds.example.test";
    r.Path = "/a";
    r.ProxyHost = "127.0.0.1";
    r.ProxyPort = proxy.Port();
    EXPECT_EQ(PureHttp_Get(r, 10000), 0);
    EXPECT_EQ(r.Status, 8);
    EXPECT_TRUE(server.Requests().empty());
    HttpRequest unreachable;
    unreachable.Host = "feeds.example.test";
    unreachable.ProxyHost = "127.0.0.1";
    unreachable.ProxyPort = 0; // a proxy host without a port cannot be reached
    EXPECT_EQ(PureHttp_Get(unreachable, 10000), 0);
    EXPECT_EQ(unreachable.Status, 8);
}

TEST_F(Download, AHostWithAPortIsTunnelledToThatPort) {
    server.Serve("/a", HttpOk("ported"));
    LocalConnectProxy proxy(server.Port());
    HttpRequest r;
    std::string memory;
    r.Host = "feeds.example.test:8080";
    r.Path = "/a";
    r.Memory = &memory;
    r.ProxyHost = "127.0.0.1";
    r.ProxyPort = proxy.Port();
    ASSERT_EQ(PureHttp_Get(r, 10000), 6);
    EXPECT_EQ(proxy.Requests().at(0), "CONNECT feeds.example.test:8080 HTTP/1.0\r\n\r\n");
}

// ---------------------------------------------------------------- gzip, XML check, HTTPS

TEST_F(Download, GzipBodiesAreDecodedByTheLibraryMethods) {
    const std::string body = "<?xml version=\"1.0\"?><rss>" + BigBody(20000) + "</rss>";
    HttpReply reply = HttpOk(body, "application/xml");
    reply.Gzip = true;
    server.Serve("/z", reply);
    for (const std::string method : {"WinINet", "API", "Pure"}) {
        File_Delete(Out());
        ASSERT_EQ(DownloadFile(server.Url("/z"), Out(), 0, 0, Methods(method + ";")), 1) << method;
        EXPECT_TRUE(ReadFileOrEmpty(Out()) == body) << method;
    }
    EXPECT_NE(server.LastRequest().find("Accept-Encoding: "), std::string::npos);
    // The memory destination grows block by block to the decoded size.
    std::string memory(4096, '\0');
    DownloadRequest req;
    req.Memory = &memory;
    ASSERT_EQ(DownloadTool_WinINet(server.Url("/z"), "", req), 0);
    EXPECT_EQ(req.TotalBytes, static_cast<int64_t>(body.size()));
    EXPECT_TRUE(memory.substr(0, body.size()) == body);
}

TEST_F(Download, TheXmlCheckGivesUpOnAFirstBlockThatIsNotXml) {
    server.Serve("/page", HttpOk("<html><body>" + BigBody(10000) + "</body></html>"));
    server.Serve("/utf16", HttpOk(Utf8ToUtf16LEBytes("<?xml version=\"1.0\"?><rss/>")));
    std::string memory(4096, '\0');
    DownloadRequest req;
    req.Memory = &memory;
    req.CheckXml = 1;
    EXPECT_EQ(DownloadTool_WinINet(server.Url("/page"), "", req), 0);
    EXPECT_GT(req.TotalBytes, 0); // the first block is counted, not stored
    EXPECT_LE(req.TotalBytes, 4096);
    EXPECT_EQ(memory, std::string(4096, '\0'));
    std::string memory16(4096, '\0');
    DownloadRequest req16;
    req16.Memory = &memory16;
    req16.CheckXml = 1;
    EXPECT_EQ(DownloadTool_WinINet(server.Url("/utf16"), "", req16), 0);
    EXPECT_EQ(memory16.substr(0, 2), std::string("<\0", 2));
}

TEST_F(Download, WinINetWithoutDestinationReturnsTwo) {
    DownloadRequest req;
    EXPECT_EQ(DownloadTool_WinINet(server.Url("/a"), "", req), 2);
    EXPECT_TRUE(server.Requests().empty());
}

TEST_F(Download, HttpsIsSpokenWithCertificateChecks) {
    TestCertificate cert(dir.Path());
    if (!cert.Ok) GTEST_SKIP() << "the openssl program is not available";
    LocalHttpServer secure(cert.CertFile, cert.KeyFile);
    secure.Serve("/s.xml", HttpOk("<secure/>"));
    // Not trusted: every library method refuses the certificate.
    for (const std::string method : {"WinINet", "API", "Pure"})
        EXPECT_EQ(DownloadFile(secure.Url("/s.xml"), Out(), 0, 0, Methods(method + ";")), 0)
            << method;
    CurlFetch_SetExtraCaFile(cert.CertFile);
    for (const std::string method : {"WinINet", "API", "Pure"}) {
        File_Delete(Out());
        ASSERT_EQ(DownloadFile(secure.Url("/s.xml"), Out(), 0, 0, Methods(method + ";")), 1)
            << method;
        EXPECT_EQ(ReadFileOrEmpty(Out()), "<secure/>");
    }
    // The own client speaks plain HTTP only.
    EXPECT_EQ(DownloadFile(secure.Url("/s.xml"), Out(), 0, 0, Methods("PureHttp;")), 0);
}

// ---------------------------------------------------------------- article page loop

TEST_F(Download, ThePageLoopDownloadsIntoMemoryWithWinINetOrPureHttp) {
    server.Serve("/article", HttpOk("<html>article</html>", "text/html"));
    PageDownload page;
    ASSERT_EQ(DownloadPage_Fetch(server.Url("/article"), page, 8, Methods("API;Pure;PureHttp;")),
              1);
    EXPECT_EQ(page.Method, "PureHttp"); // "API" and "Pure" do not serve this loop
    EXPECT_EQ(page.Bytes, 20);
    EXPECT_EQ(page.Memory.substr(0, 20), "<html>article</html>");
    ASSERT_EQ(DownloadPage_Fetch(server.Url("/article"), page, 8, Methods("WinINet;")), 1);
    EXPECT_EQ(page.Method, "WinINet");
    EXPECT_EQ(page.Memory.substr(0, 20), "<html>article</html>");
}

TEST_F(Download, ThePageLoopRefusesAnEmptyPage) {
    server.Serve("/empty", HttpOk(""));
    PageDownload page;
    EXPECT_EQ(DownloadPage_Fetch(server.Url("/empty"), page, 8, Methods("WinINet;PureHttp;")), 0);
    EXPECT_EQ(LogLines().at(0), "! Error, not downloaded by WinINet, " + server.Url("/empty"));
}

// ---------------------------------------------------------------- orvalis-tool fetch

TEST_F(Download, TheFetchCommandPrintsTheLogLinesAndItsResult) {
    server.Serve("/a.txt", HttpOk("tool body"));
    const std::vector<std::string> env = {"no_proxy=127.0.0.1", "NO_PROXY=127.0.0.1"};
    ProcessResult ok =
        RunTool({"fetch", server.Url("/a.txt"), Out(), "--methods", "PureHttp;"}, dir.Path(), env);
    EXPECT_EQ(ok.ExitCode, 0);
    EXPECT_EQ(ReadFileOrEmpty(Out()), "tool body");
    EXPECT_EQ(ok.Err.rfind(" Downloaded by PureHttp, TotalBytes=9, TotalTime=", 0), 0u) << ok.Err;

    ProcessResult missing = RunTool({"fetch", server.Url("/none"), Out("none")}, dir.Path(), env);
    EXPECT_EQ(missing.ExitCode, 1);
    EXPECT_EQ(missing.Err, "! Error, not downloaded by WinINet, " + server.Url("/none") +
                               "\n! Error, not downloaded by API, " + server.Url("/none") + "\n");

    // The method list of a data folder's preferences.
    WriteFileOrDie(dir.File("data/Orvalis.ini"), "\xEF\xBB\xBF"
                                                 "DownloadPriority = Pure;\r\n");
    ProcessResult fromPrefs = RunTool(
        {"fetch", server.Url("/a.txt"), Out("p.txt"), "--data", dir.File("data")}, dir.Path(), env);
    EXPECT_EQ(fromPrefs.ExitCode, 0);
    EXPECT_EQ(fromPrefs.Err.rfind(" Downloaded by Pure, TotalBytes=0, ", 0), 0u) << fromPrefs.Err;
}

TEST_F(Download, TheFetchCommandTakesTheProxyFromThePreferences) {
    server.Serve("/feed.xml", HttpOk("<rss/>"));
    LocalConnectProxy proxy(server.Port());
    proxy.RequireCredentials("jean", "mot de passé");
    // The password is stored as Base64 of its UTF-16LE bytes.
    WriteFileOrDie(dir.File("data/Orvalis.ini"),
                   "\xEF\xBB\xBFUseProxy = On\r\nProxyHost = 127.0.0.1\r\nProxyPort = " +
                       std::to_string(proxy.Port()) + "\r\nProxyID = jean\r\nProxyPassWord = " +
                       Base64Encode(Utf8ToUtf16LEBytes("mot de passé")) + "\r\n");
    ProcessResult r =
        RunTool({"fetch", "http://feeds.example.test/feed.xml", Out(), "--data", dir.File("data")},
                dir.Path());
    EXPECT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_EQ(ReadFileOrEmpty(Out()), "<rss/>");
    EXPECT_EQ(r.Err.rfind(" Downloaded by PureHttp, TotalBytes=6, ", 0), 0u) << r.Err;
}
