#include "update/net/PureHttp.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

#include "platform/core/FileUtil.h"
#include "platform/core/Hash.h"
#include "platform/core/Text.h"
#include "update/net/DownloadTool.h"

static constexpr int kIdleLimitMs = 10000; // no data for longer ends the transfer
static constexpr size_t kBlock = 4096;
static constexpr size_t kMaxHead = 65536;
static constexpr size_t kProxyRead = 14500;

std::string PureHttp_UrlPart(const std::string& url, int part) {
    if (url.find("http://") == std::string::npos) return {};
    const std::string rest = url.size() > 7 ? url.substr(7) : std::string();
    const size_t slash = rest.find('/');
    switch (part) {
    case 0:
        return rest.substr(0, slash);
    case 1:
        return slash == std::string::npos ? std::string() : rest.substr(slash);
    case 2: {
        const size_t last = rest.rfind('/');
        std::string name = last == std::string::npos ? rest : rest.substr(last + 1);
        if (name.empty() || name.find('.') == std::string::npos) name = "index.html";
        return name;
    }
    default:
        return {};
    }
}

std::string PureHttp_Request(HttpRequest& request) {
    if (request.Path.size() <= 1) request.Path = "/";
    std::string text = "GET " + request.Path + " HTTP/1.0\r\nhost: " + request.Host + "\r\n";
    if (!request.User.empty() && !request.Password.empty())
        text += "Authorization: Basic " +
                Base64Encode(Utf8ToCp1252(request.User + ":" + request.Password)) + "\r\n";
    text += "Connection: Close";
    text += "\r\nUser-Agent: PureHTTP";
    text += "\r\n\r\n";
    return text;
}

void PureHttp_SetStatus(HttpRequest& request, int32_t status) {
    request.Status = status;
    if (request.Callback) request.Callback(&request);
}

int PureHttp_Succeeded(const HttpRequest& request) {
    return request.Status == 6 && request.Complete ? 1 : 0;
}

// "name:port" or "[v6]:port" into its parts; `port` keeps `defPort` when none is written.
static void SplitHostPort(const std::string& host, std::string& name, int& port, int defPort) {
    name = host;
    port = defPort;
    if (!host.empty() && host[0] == '[') {
        const size_t close = host.find(']');
        if (close == std::string::npos) return;
        name = host.substr(1, close - 1);
        if (close + 1 < host.size() && host[close + 1] == ':')
            port = ValInt32(host.substr(close + 2));
    } else {
        const size_t colon = host.find(':');
        if (colon == std::string::npos || host.find(':', colon + 1) != std::string::npos) return;
        name = host.substr(0, colon);
        port = ValInt32(host.substr(colon + 1));
    }
    if (port <= 0) port = defPort;
}

static bool HostHasPort(const std::string& host) {
    std::string name;
    int port = 0;
    SplitHostPort(host, name, port, 0);
    return port != 0;
}

static uint32_t Elapsed(uint32_t since) {
    return Net_Ticks() - since;
}

// Asks the proxy for a tunnel to the server; true when it answered 200 in time.
static bool OpenTunnel(HttpRequest& r, NetSocket& conn, int timeout, const NetStopTest& stop) {
    const std::string target = HostHasPort(r.Host) ? r.Host : r.Host + ":" + "80";
    std::string text = "CONNECT " + target + " HTTP/1.0\r\n";
    if (!r.ProxyUser.empty() && !r.ProxyPassword.empty()) {
        const std::string b = Base64Encode(Utf8ToCp1252(r.ProxyUser + ":" + r.ProxyPassword));
        text += "Authorization: Basic " + b + "\r\n" + "Proxy-Authorization: Basic " + b + "\r\n";
    }
    text += "\r\n";
    if (!conn.SendAll(Utf8ToCp1252(text), timeout, stop)) return false;
    r.StartTime = Net_Ticks();
    bool arrived = false;
    while (static_cast<int>(Elapsed(r.StartTime)) <= timeout) {
        if (stop && stop()) return false;
        if (conn.HasData(10)) {
            arrived = true;
            break;
        }
    }
    if (!arrived) return false;
    std::string reply;
    std::string chunk(kProxyRead, '\0');
    for (;;) {
        const long n = conn.Receive(chunk.data(), kProxyRead, 50, stop);
        if (n > 0) reply.append(chunk.data(), static_cast<size_t>(n));
        if (n < static_cast<long>(kProxyRead)) break;
    }
    int code = 0;
    for (const std::string& line : Split(reply, '\n')) {
        const std::string t = Trim(line);
        if (t.rfind("HTTP/1.", 0) == 0) {
            const auto fields = Split(t, ' ');
            if (fields.size() > 1) code = ValInt32(fields[1]);
            break;
        }
    }
    return code == 200;
}

namespace {
// What one transfer knows beyond the record: the destination file and the head.
struct Transfer {
    FILE* PartFile = nullptr;
    std::string PartName;
    bool Storing = false;   // a 200 head: the body goes to the destination
    bool Redirect = false;  // the transfer is to be repeated with the new address
    int64_t Announced = -1; // Content-Length of the head, -1 when none
    bool WriteFailed = false;
};
} // namespace

static constexpr int32_t kStatusTooLarge = 10;

static bool OverBound(const HttpRequest& r, int64_t bytes) {
    return r.MaxBytes > 0 && bytes > r.MaxBytes;
}

static bool AppendToMemory(HttpRequest& r, const char* data, size_t n) {
    if (!r.Memory) return false;
    const int64_t end = r.TotalBytes + static_cast<int64_t>(n);
    // Grown by half again at least, so a long body costs n log n copies rather than n².
    if (end > static_cast<int64_t>(r.Memory->size())) {
        const int64_t grown =
            std::max<int64_t>(end, static_cast<int64_t>(r.Memory->size()) * 3 / 2);
        r.Memory->resize(static_cast<size_t>(((grown + kBlock - 1) / kBlock + 1) * kBlock));
    }
    std::copy(data, data + n, r.Memory->begin() + r.TotalBytes);
    return true;
}

// The head: the status line, Content-Length, Content-Type, Location; then the first
// body bytes that came with it.
// The characters from `from` on (at most `count`), empty past the end.
static std::string Mid(const std::string& s, size_t from, size_t count = std::string::npos) {
    return from >= s.size() ? std::string() : s.substr(from, count);
}

static void TakeHead(HttpRequest& r, Transfer& t, const std::string& block) {
    const std::string first200 = block.substr(0, 200);
    size_t pos = first200.find("HTTP/1.0");
    if (pos == std::string::npos) pos = first200.find("HTTP/1.1");
    if (pos == std::string::npos) {
        PureHttp_SetStatus(r, 8);
        return;
    }
    size_t headEnd = block.find("\r\n\r\n");
    if (headEnd != std::string::npos && headEnd < pos + 8) headEnd = std::string::npos;
    const size_t bodyStart = headEnd == std::string::npos ? block.size() : headEnd + 4;
    const std::string head =
        block.substr(pos + 8, (headEnd == std::string::npos ? block.size() : headEnd) - (pos + 8));
    const std::string headLines = head + "\r\n";
    auto field = [&](std::string_view name, std::string& out) {
        const size_t at = FindNoCase(headLines, name);
        if (at == std::string::npos) return false;
        const size_t from = at + name.size();
        out = TrimBlanks(headLines.substr(from, headLines.find("\r\n", from) - from));
        return true;
    };
    r.Head = HttpResponseHead{};
    std::string value;
    if (field("\r\nContent-Length:", value)) {
        r.Head.ContentLength = ValInt(value);
        t.Announced = r.Head.ContentLength;
    }
    if (field("\r\nContent-Type:", value)) r.Head.ContentType = value;
    r.Head.StatusCode = ValInt32(Mid(block, pos + 9, 3));
    const char* body = block.data() + bodyStart;
    const size_t bodyBytes = block.size() - bodyStart;

    const int code = r.Head.StatusCode;
    if (code == 200 && (OverBound(r, t.Announced) || OverBound(r, bodyBytes))) {
        PureHttp_SetStatus(r, kStatusTooLarge);
        return;
    }
    if (code == 200) {
        if (!r.File.empty()) {
            t.PartName = r.File + ".part";
            t.PartFile = File_Open(t.PartName, "wb");
        }
        PureHttp_SetStatus(r, 2);
        t.Storing = true;
        if (t.PartFile) {
            r.TotalBytes = static_cast<int64_t>(bodyBytes);
            if (bodyBytes && std::fwrite(body, 1, bodyBytes, t.PartFile) != bodyBytes) {
                t.WriteFailed = true;
                PureHttp_SetStatus(r, 9);
            }
        } else if (!r.Memory) {
            t.Storing = false;
            PureHttp_SetStatus(r, 9);
        } else {
            if (r.Memory->size() < std::max(kBlock, bodyBytes))
                r.Memory->resize(std::max(kBlock, bodyBytes));
            std::copy(body, body + bodyBytes, r.Memory->begin());
            r.TotalBytes = static_cast<int64_t>(bodyBytes);
        }
    } else if (code >= 301 && code <= 307) {
        PureHttp_SetStatus(r, 2);
        std::string location;
        if (field("\r\nLocation:", location) && !location.empty()) {
            if (++r.Redirects > PureHttp_MaxRedirects) {
                const size_t lineEnd = block.find("\r\n", pos + 9);
                r.Head.StatusText = Mid(block, pos + 9, lineEnd - (pos + 9));
                PureHttp_SetStatus(r, 8);
                return;
            }
            if (location[0] == '/') {
                r.Path = location; // same server
            } else {
                r.Host = PureHttp_UrlPart(location, 0);
                r.Path = PureHttp_UrlPart(location, 1);
            }
            t.Redirect = true;
            PureHttp_SetStatus(r, 4);
        }
    } else {
        const size_t lineEnd = block.find("\r\n", pos + 9);
        r.Head.StatusText =
            Mid(block, pos + 9, lineEnd == std::string::npos ? lineEnd : lineEnd - (pos + 9));
        PureHttp_SetStatus(r, 8);
    }
}

static void MeasureSpeed(HttpRequest& r) {
    const uint32_t ms = std::max<uint32_t>(1, Elapsed(r.StartTime));
    r.Speed = static_cast<float>(static_cast<double>(r.TotalBytes) / (ms / 1000.0) / 1024.0);
}

// Reads the head and the body until the server closes, the data stops, or a stop.
static void ReceiveLoop(HttpRequest& r, NetSocket& conn, Transfer& t, const NetStopTest& stop) {
    bool first = true;
    std::string head;
    while (r.Status < 6) {
        const int left = kIdleLimitMs - static_cast<int>(Elapsed(r.LastTime));
        const long n = conn.Receive(r.Buffer.data(), kBlock, std::max(left, 0), stop);
        if (n < 0) {
            // Stopped, silent for too long, or a broken connection: no document.
            PureHttp_SetStatus(r, 7);
            break;
        }
        if (first) {
            head.append(r.Buffer.data(), static_cast<size_t>(n));
            // The head may come in pieces; the body starts after its blank line.
            if (n > 0 && head.find("\r\n\r\n") == std::string::npos && head.size() < kMaxHead)
                continue;
            first = false;
            r.LastTime = Net_Ticks();
            TakeHead(r, t, head);
            if (n == 0 && r.Status < 6) PureHttp_SetStatus(r, 6);
        } else if (n == 0) {
            PureHttp_SetStatus(r, 6);
        } else {
            PureHttp_SetStatus(r, 3);
            if (t.Storing && OverBound(r, r.TotalBytes + n)) {
                PureHttp_SetStatus(r, kStatusTooLarge);
                break;
            }
            if (t.Storing) {
                if (t.PartFile) {
                    if (std::fwrite(r.Buffer.data(), 1, static_cast<size_t>(n), t.PartFile) !=
                        static_cast<size_t>(n)) {
                        t.WriteFailed = true;
                        PureHttp_SetStatus(r, 9);
                    }
                } else if (!AppendToMemory(r, r.Buffer.data(), static_cast<size_t>(n))) {
                    PureHttp_SetStatus(r, 9);
                }
                r.TotalBytes += n;
            }
            MeasureSpeed(r);
            r.LastTime = Net_Ticks();
        }
        if (r.MaxSpeed != 0) {
            MeasureSpeed(r);
            while (r.Speed > static_cast<float>(r.MaxSpeed) && !(stop && stop())) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
                MeasureSpeed(r);
            }
        }
    }
}

int32_t PureHttp_Get(HttpRequest& r, int timeout) {
    PureHttp_SetStatus(r, 0);
    r.Complete = 0;
    r.StartTime = Net_Ticks();
    const uint32_t stopBit = r.StopBit;
    const NetStopTest stop = [stopBit] { return stopBit != 0 && IsThreadKilled(stopBit) != 0; };
    auto conn = std::make_shared<NetSocket>();
    r.Connection = conn;
    bool connected = false;
    if (r.ProxyHost.empty() && r.ProxyPort == 0) {
        std::string name;
        int port = 80;
        SplitHostPort(r.Host, name, port, 80);
        connected = conn->Connect(name, port, timeout, stop);
    } else {
        if (!conn->Connect(r.ProxyHost, r.ProxyPort, timeout, stop) ||
            !OpenTunnel(r, *conn, timeout, stop)) {
            conn->Close();
            r.Connection.reset();
            PureHttp_SetStatus(r, 8);
            return 0;
        }
        connected = true;
    }

    Transfer t;
    if (!connected) {
        PureHttp_SetStatus(r, 7);
    } else {
        PureHttp_SetStatus(r, 1);
        r.Buffer.assign(kBlock, '\0');
        r.StartTime = r.LastTime = Net_Ticks();
        if (!conn->SendAll(PureHttp_Request(r), kIdleLimitMs, stop)) PureHttp_SetStatus(r, 7);
        while (r.Status < 6) {
            if (conn->HasData(0)) {
                ReceiveLoop(r, *conn, t, stop);
                if (t.PartFile) {
                    const bool closed = std::fclose(t.PartFile) == 0;
                    t.PartFile = nullptr;
                    const bool whole = r.Status == 6 && closed && !t.WriteFailed &&
                                       (t.Announced < 0 || r.TotalBytes >= t.Announced);
                    // Only a whole body replaces the file; anything else leaves it as it was.
                    if (!whole) {
                        File_Delete(t.PartName);
                    } else if (!File_Rename(t.PartName, r.File)) {
                        File_Delete(t.PartName);
                        t.WriteFailed = true;
                    }
                }
            } else {
                PureHttp_SetStatus(r, 5);
            }
            if (r.Status < 6 && static_cast<int>(Elapsed(r.LastTime)) > kIdleLimitMs)
                PureHttp_SetStatus(r, 7);
            if (r.Status < 6 && stop()) PureHttp_SetStatus(r, 7);
            if (r.Status < 6) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        r.Complete = (r.Status == 6 && t.Storing && !t.WriteFailed &&
                      (t.Announced < 0 || r.TotalBytes >= t.Announced))
                         ? 1
                         : 0;
    }
    if (t.PartFile) {
        std::fclose(t.PartFile);
        File_Delete(t.PartName);
    }
    if (r.Status == kStatusTooLarge && r.Memory) {
        r.Memory->clear();
        r.Memory->shrink_to_fit();
        r.TotalBytes = 0;
    }
    r.Buffer.clear();
    r.Buffer.shrink_to_fit();
    r.TotalTime = Elapsed(r.StartTime);
    conn->Close();
    r.Connection.reset();
    if (t.Redirect && !stop()) return PureHttp_Get(r, 10000);
    return r.Status;
}
