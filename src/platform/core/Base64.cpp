// Base64 (declared in Hash.h), kept apart from the digests: a program that only decodes
// Base64 (the tool's feed reader) then links no cryptography library.
#include <cstdint>

#include "platform/core/Hash.h"

static const char kB64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string Base64Encode(std::string_view bytes) {
    std::string r;
    r.reserve((bytes.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const uint32_t v = (static_cast<unsigned char>(bytes[i]) << 16) |
                           (static_cast<unsigned char>(bytes[i + 1]) << 8) |
                           static_cast<unsigned char>(bytes[i + 2]);
        r.push_back(kB64[(v >> 18) & 63]);
        r.push_back(kB64[(v >> 12) & 63]);
        r.push_back(kB64[(v >> 6) & 63]);
        r.push_back(kB64[v & 63]);
    }
    const size_t rest = bytes.size() - i;
    if (rest == 1) {
        const uint32_t v = static_cast<unsigned char>(bytes[i]) << 16;
        r.push_back(kB64[(v >> 18) & 63]);
        r.push_back(kB64[(v >> 12) & 63]);
        r += "==";
    } else if (rest == 2) {
        const uint32_t v = (static_cast<unsigned char>(bytes[i]) << 16) |
                           (static_cast<unsigned char>(bytes[i + 1]) << 8);
        r.push_back(kB64[(v >> 18) & 63]);
        r.push_back(kB64[(v >> 12) & 63]);
        r.push_back(kB64[(v >> 6) & 63]);
        r.push_back('=');
    }
    return r;
}

std::string Base64Decode(std::string_view text) {
    std::string r;
    uint32_t acc = 0;
    int bits = 0;
    for (char ch : text) {
        int v;
        if (ch >= 'A' && ch <= 'Z')
            v = ch - 'A';
        else if (ch >= 'a' && ch <= 'z')
            v = ch - 'a' + 26;
        else if (ch >= '0' && ch <= '9')
            v = ch - '0' + 52;
        else if (ch == '+' || ch == '-')
            v = 62;
        else if (ch == '/' || ch == '_')
            v = 63;
        else if (ch == '=')
            break;
        else
            continue;
        acc = (acc << 6) | static_cast<uint32_t>(v);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            r.push_back(static_cast<char>((acc >> bits) & 0xFF));
        }
    }
    return r;
}
