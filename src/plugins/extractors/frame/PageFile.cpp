#include "plugins/extractors/frame/PageFile.h"

#include "platform/core/FileUtil.h"
#include "platform/core/Text.h"

#include <fstream>
#include <iterator>
#include <sys/stat.h>

PageFormat SniffPageFormat(const std::string& bytes, PageFormat defaultFormat) {
    const std::string head = AsciiLower(std::string_view(bytes).substr(0, 1000));
    // Tried in this order: a page that names both an ISO charset and UTF-8 is 8-bit.
    if (head.find("iso-8859") != std::string::npos) return PageAnsi;
    if (head.find("utf-8") != std::string::npos || head.find("utf8") != std::string::npos)
        return PageUtf8;
    if (head.find("unicode") != std::string::npos || head.find("utf-16") != std::string::npos)
        return PageUtf16;
    return defaultFormat;
}

static std::string Utf16ToAnsi(std::string_view bytes, bool bigEndian) {
    std::string le;
    le.reserve(bytes.size());
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        le.push_back(bigEndian ? bytes[i + 1] : bytes[i]);
        le.push_back(bigEndian ? bytes[i] : bytes[i + 1]);
    }
    return Utf8ToCp1252(Utf16LEBytesToUtf8(le));
}

bool ReadPageFile(const std::string& path, std::string& text, PageFormat defaultFormat) {
    text.clear();
    if (path.empty()) return false;
    // A UTF-8 name reaches the system in its own form (wide on Windows).
    if (!File_Exists(path)) return false;
    std::string bytes;
    if (!File_ReadAll(path, bytes)) return false;

    // A byte-order mark says more than any declaration in the page.
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        text = Utf8ToCp1252(std::string_view(bytes).substr(3));
        return true;
    }
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
        text = Utf16ToAnsi(std::string_view(bytes).substr(2), bytes[0] == '\xFE');
        return true;
    }
    // A page holding NUL bytes is UTF-16 whatever it declares (its declaration, being UTF-16
    // too, cannot even be found among the raw bytes); one without them cannot be UTF-16.
    const std::string_view head = std::string_view(bytes).substr(0, 1000);
    const size_t nul = head.find('\0');
    if (nul != std::string_view::npos) {
        text = Utf16ToAnsi(bytes, nul % 2 == 0);
        return true;
    }
    PageFormat format = SniffPageFormat(bytes, defaultFormat);
    if (format == PageUtf16) format = defaultFormat == PageUtf16 ? PageAnsi : defaultFormat;
    switch (format) {
    case PageUtf8:
        // A page that claims UTF-8 but is not keeps its bytes instead of losing every accent.
        text = IsValidUtf8(bytes) ? Utf8ToCp1252(bytes) : bytes;
        break;
    case PageUtf16:
        text = Utf16ToAnsi(bytes, false);
        break;
    case PageAnsi:
        text = std::move(bytes);
        break;
    }
    return true;
}
