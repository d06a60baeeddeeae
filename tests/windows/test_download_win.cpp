// The Windows download methods (WinINet, urlmon, WinHTTP, Winsock) against a small server
// on 127.0.0.1 in the test itself: whole bodies to a file and into memory, the size bound,
// the XML check, and a server that sends part of a body and then nothing more, which every
// method must leave on the stop bit without leaving a file behind.
#include <gtest/gtest.h>

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/core/FileUtil.h"
#include "platform/core/Hash.h"
#include "platform/core/NetSocket.h"
#include "update/net/DownloadTool.h"
#include "update/net/PureHttp.h"

namespace {

std::string Body(size_t size) {
    std::string s(size, '\0');
    for (size_t i = 0; i < size; ++i)
        s[i] = static_cast<char>((i * 7 + i / 256) % 256);
    return s;
}

// Answers "/data" (300 kB), "/feed.xml", "/text" and "/stall" (a head announcing 100 kB,
// 1000 bytes, then silence until the server ends); anything else gets a 404.
class StallServer {
  public:
    StallServer() {
        Net_Startup();
        m_listen = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(m_listen, reinterpret_cast<sockaddr*>(&a), sizeof a);
        listen(m_listen, 16);
        int len = sizeof a;
        getsockname(m_listen, reinterpret_cast<sockaddr*>(&a), &len);
        m_port = ntohs(a.sin_port);
        m_accept = std::thread([this] { Accept(); });
    }
    ~StallServer() {
        m_stop = true;
        closesocket(m_listen);
        m_accept.join();
        std::lock_guard<std::mutex> lock(m_mutex);
        for (std::thread& t : m_connections)
            t.join();
    }
    std::string Url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(m_port) + path;
    }

  private:
    void Accept() {
        for (;;) {
            SOCKET s = accept(m_listen, nullptr, nullptr);
            if (s == INVALID_SOCKET) return;
            std::lock_guard<std::mutex> lock(m_mutex);
            m_connections.emplace_back([this, s] { Serve(s); });
        }
    }
    void Send(SOCKET s, const std::string& bytes) {
        size_t done = 0;
        while (done < bytes.size()) {
            const int n = send(s, bytes.data() + done, static_cast<int>(bytes.size() - done), 0);
            if (n <= 0) return;
            done += static_cast<size_t>(n);
        }
    }
    void Serve(SOCKET s) {
        std::string request;
        char buffer[2048];
        while (request.find("\r\n\r\n") == std::string::npos) {
            const int n = recv(s, buffer, sizeof buffer, 0);
            if (n <= 0) break;
            request.append(buffer, static_cast<size_t>(n));
        }
        const size_t start = request.find(' ') + 1;
        const std::string path = request.substr(start, request.find(' ', start) - start);
        auto answer = [&](const std::string& status, const std::string& body) {
            Send(s, "HTTP/1.0 " + status + "\r\nContent-Length: " + std::to_string(body.size()) +
                        "\r\n\r\n" + body);
        };
        if (path == "/data") {
            answer("200 OK", Body(300000));
        } else if (path == "/feed.xml") {
            answer("200 OK", "<?xml version=\"1.0\"?><rss/>");
        } else if (path == "/text") {
            answer("200 OK", "plain text, not XML at all");
        } else if (path == "/stall") {
            Send(s, "HTTP/1.0 200 OK\r\nContent-Length: 100000\r\n\r\n" + std::string(1000, 'x'));
            while (!m_stop)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        } else {
            answer("404 Not Found", "none");
        }
        closesocket(s);
    }

    SOCKET m_listen = INVALID_SOCKET;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::thread m_accept;
    std::mutex m_mutex;
    std::vector<std::thread> m_connections;
};

class DownloadWin : public ::testing::Test {
  protected:
    void SetUp() override {
        ThreadStopMask_Set(0);
        ASSERT_TRUE(Network_Init());
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        char narrow[MAX_PATH * 3];
        WideCharToMultiByte(CP_UTF8, 0, temp, -1, narrow, sizeof narrow, nullptr, nullptr);
        // A folder per test, emptied first (wine may give a later process the same id).
        m_dir = std::string(narrow) + "orvalis-dl-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name() + "\\";
        Dir_Create(m_dir);
        for (const std::string& name : Dir_List(m_dir))
            File_Delete(m_dir + name);
    }
    void TearDown() override { ThreadStopMask_Set(0); }
    std::string Out(const std::string& name) const { return m_dir + name; }
    static std::string Read(const std::string& path) {
        std::string s;
        File_ReadAll(path, s);
        return s;
    }
    // Sets the stop bit after a moment, from another thread, as CloseThread does.
    static std::thread StopSoon(uint32_t bit) {
        return std::thread([bit] {
            std::this_thread::sleep_for(std::chrono::milliseconds(800));
            ThreadStopMask_Set(bit);
        });
    }
    std::string m_dir;
    StallServer server;
};

} // namespace

TEST_F(DownloadWin, EveryMethodBringsTheWholeBodyIntoTheFile) {
    const std::string md5 = Md5Hex(Body(300000));
    DownloadRequest r;
    r.Callback = &Download_Progress;
    EXPECT_EQ(DownloadTool_WinINet(server.Url("/data"), Out("w.bin"), r), 0);
    EXPECT_EQ(r.TotalBytes, 300000);
    EXPECT_EQ(Md5Hex(Read(Out("w.bin"))), md5);
    EXPECT_EQ(DownloadTool_API(server.Url("/data"), Out("a.bin"), 1), 0);
    EXPECT_EQ(Md5Hex(Read(Out("a.bin"))), md5);
    EXPECT_EQ(DownloadTool_Receive(server.Url("/data"), Out("p.bin"), 1), 0);
    EXPECT_EQ(Md5Hex(Read(Out("p.bin"))), md5);
    HttpRequest h;
    Download_PrepareHttp(h, server.Url("/data"), Out("h.bin"), 0, DownloadSettings());
    PureHttp_Get(h, 10000);
    EXPECT_EQ(PureHttp_Succeeded(h), 1);
    EXPECT_EQ(Md5Hex(Read(Out("h.bin"))), md5);
}

TEST_F(DownloadWin, WinINetFillsMemoryAndHonoursTheXmlCheck) {
    std::string memory(4096, '\0');
    DownloadRequest r;
    r.Memory = &memory;
    r.CheckXml = 1;
    EXPECT_EQ(DownloadTool_WinINet(server.Url("/feed.xml"), "", r), 0);
    EXPECT_EQ(memory.substr(0, static_cast<size_t>(r.TotalBytes)), "<?xml version=\"1.0\"?><rss/>");
    // Not XML: success at once, counted but not stored.
    std::string other(4096, '\0');
    DownloadRequest x;
    x.Memory = &other;
    x.CheckXml = 1;
    EXPECT_EQ(DownloadTool_WinINet(server.Url("/text"), "", x), 0);
    EXPECT_EQ(x.TotalBytes, 26);
    EXPECT_EQ(other, std::string(4096, '\0'));
    DownloadRequest missing;
    EXPECT_EQ(DownloadTool_WinINet(server.Url("/none"), Out("none.bin"), missing), 3);
    EXPECT_FALSE(File_Exists(Out("none.bin")));
}

TEST_F(DownloadWin, ABodyOverTheBoundIsRefusedByEveryMethodAndKeepsNothing) {
    DownloadRequest r;
    r.MaxBytes = 1000;
    EXPECT_EQ(DownloadTool_WinINet(server.Url("/data"), Out("w.bin"), r), DOWNLOAD_TOO_LARGE);
    EXPECT_EQ(DownloadTool_API(server.Url("/data"), Out("a.bin"), 1, 0, 1000), DOWNLOAD_TOO_LARGE);
    EXPECT_EQ(DownloadTool_Receive(server.Url("/data"), Out("p.bin"), 1, 0, 1000),
              DOWNLOAD_TOO_LARGE);
    for (const char* name : {"w.bin", "a.bin", "p.bin"})
        EXPECT_FALSE(File_Exists(Out(name)));
}

TEST_F(DownloadWin, AServerThatFallsSilentIsLeftOnTheStopBitByEveryMethod) {
    {
        DownloadRequest r;
        r.StopBit = 1;
        r.Callback = &Download_Progress;
        std::thread stop = StopSoon(1);
        EXPECT_EQ(DownloadTool_WinINet(server.Url("/stall"), Out("w.bin"), r), 1);
        stop.join();
        ThreadStopMask_Set(0);
        EXPECT_FALSE(File_Exists(Out("w.bin")));
    }
    {
        std::thread stop = StopSoon(2);
        EXPECT_EQ(DownloadTool_API(server.Url("/stall"), Out("a.bin"), 1, 2), 1);
        stop.join();
        ThreadStopMask_Set(0);
        EXPECT_FALSE(File_Exists(Out("a.bin")));
    }
    {
        std::thread stop = StopSoon(8);
        EXPECT_EQ(DownloadTool_Receive(server.Url("/stall"), Out("p.bin"), 1, 8), 1);
        stop.join();
        ThreadStopMask_Set(0);
        EXPECT_FALSE(File_Exists(Out("p.bin")));
    }
    {
        HttpRequest h;
        Download_PrepareHttp(h, server.Url("/stall"), Out("h.bin"), 1, DownloadSettings());
        std::thread stop = StopSoon(1);
        PureHttp_Get(h, 10000);
        stop.join();
        ThreadStopMask_Set(0);
        EXPECT_EQ(h.Status, 7);
        EXPECT_FALSE(File_Exists(Out("h.bin")));
    }
}
