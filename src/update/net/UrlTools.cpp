#include "update/net/UrlTools.h"

#include "platform/core/Text.h"

std::string Url_Extension(std::string_view url) {
    size_t end = url.find_first_of("?#");
    if (end == std::string_view::npos) end = url.size();
    std::string_view path = url.substr(0, end);
    const size_t slash = path.find_last_of("/\\");
    std::string_view segment = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const size_t dot = segment.rfind('.');
    if (dot == std::string_view::npos) return {};
    return std::string(segment.substr(dot + 1));
}

bool Url_IsAudioExtension(std::string_view extension) {
    if (extension.empty()) return false;
    static const std::string_view kList = "aiff;aad;flac;fla;ogg;mp3;m4a;m4v;wav;wma";
    return kList.find(Utf8Lower(extension)) != std::string_view::npos;
}

static int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string Url_PercentDecode(std::string_view text) {
    std::string r;
    r.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            const int hi = HexValue(text[i + 1]);
            const int lo = HexValue(text[i + 2]);
            if (hi >= 0 && lo >= 0) {
                r.push_back(static_cast<char>(hi * 16 + lo));
                i += 2;
                continue;
            }
        }
        r.push_back(text[i]);
    }
    return r;
}
