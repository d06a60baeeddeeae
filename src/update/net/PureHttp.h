// The program's own HTTP/1.0 client over a TCP connection: the one download method
// that goes through the user's proxy (a CONNECT tunnel, with credentials when given).
// Plain "http://" addresses only. A file destination is written to File + ".part" and
// only replaces File once a whole 200 body has arrived. A failed read, a stop request
// (StopBit) or 10 s without data end the transfer with status 7 and no file; a body
// over MaxBytes ends it with status 10 and no file. A host
// written with a port ("name:8080") is reached on that port (and tunnelled to it); a
// "Location:" that starts with "/" stays on the same server.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/core/NetSocket.h"

// Redirects followed in a row before the transfer is refused (status 8).
constexpr int PureHttp_MaxRedirects = 5;

struct HttpResponseHead {
    int32_t StatusCode = 0;
    int64_t ContentLength = 0; // 0 when the head announced none
    std::string ContentType;
    std::string StatusText;
};

struct HttpRequest {
    // Called with the record on every status change (PureHttp_SetStatus); usually empty.
    std::function<void(HttpRequest*)> Callback;
    std::shared_ptr<NetSocket> Connection;
    std::string Host; // "name" or "name:port"
    std::string Path;
    std::string File;              // destination file; empty for memory
    std::string* Memory = nullptr; // memory destination; grown as needed
    int32_t Status = 0;
    std::string User, Password; // Basic credentials for the server
    std::string ProxyHost;
    int32_t ProxyPort = 0;
    std::string ProxyUser, ProxyPassword;
    HttpResponseHead Head;
    std::string Buffer; // the 4096-byte receive buffer of a transfer
    int64_t TotalBytes = 0;
    uint32_t StartTime = 0, LastTime = 0;
    uint32_t TotalTime = 0;
    int32_t MaxSpeed = 0; // kilobytes per second, 0 = no limit
    float Speed = 0;
    // Bit of ThreadStopMask that abandons the transfer (0: never asked to stop).
    uint32_t StopBit = 0;
    // Set to 1 when the last transfer stored a whole 200 body: the server closed the
    // connection after the body and it held at least the announced Content-Length.
    int32_t Complete = 0;
    // Redirects followed so far for this record.
    int32_t Redirects = 0;
    // Bound on the body (file or memory); 0: none. An announced length or a body past it
    // ends the transfer with status 10 and keeps nothing.
    int64_t MaxBytes = 0;
};

// Part of an "http://" URL: 0 the host (with its port, if any), 1 the path from its
// leading "/", 2 the file name ("index.html" when the last field is empty or has no
// "."). Empty when the URL holds no "http://" or for another part number.
std::string PureHttp_UrlPart(const std::string& url, int part);
// The GET request text, byte for byte; a Path of at most one character becomes "/".
std::string PureHttp_Request(HttpRequest& request);
// Stores the status and calls the record's Callback with it.
void PureHttp_SetStatus(HttpRequest& request, int32_t status);
// Runs the transfer (and its redirects on the same record). Returns the final Status
// (6 = the server closed the connection after the head), or 0 when the proxy could not
// be reached or refused the tunnel (Status is then 8). `timeout` bounds the connection
// and the proxy's answer, in ms.
int32_t PureHttp_Get(HttpRequest& request, int timeout);
// 1 when the transfer ended with status 6 and a whole 200 body was stored.
int PureHttp_Succeeded(const HttpRequest& request);
