// orvalis-tool html2text FILE [FLAGS]: converts an HTML page to the text a reader hears.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "article/core/ExtractHTMLText.h"
#include "tool/ToolCommand.h"

// FLAGS in decimal or with "0x" in hexadecimal; false when it is not a whole number.
static bool ParseFlags(const std::string& s, uint32_t& flags) {
    if (s.empty()) return false;
    size_t i = 0;
    int base = 10;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        i = 2;
    }
    unsigned long long v = 0;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return false;
        v = v * base + d;
        if (v > 0xFFFFFFFFull) return false;
    }
    flags = static_cast<uint32_t>(v);
    return true;
}

// The whole file, read straight into the page (no intermediate buffer: the page is the
// one large block this command holds besides its result).
static bool ReadPage(const std::string& path, std::string& page) {
    page.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && st.st_size > 0) page.resize(static_cast<size_t>(st.st_size));
    size_t have = 0;
    bool ok = true;
    char more[4096]; // past the size the file had: read apart, so the page is not moved
    for (;;) {
        const bool full = have == page.size();
        const ssize_t n = full ? ::read(fd, more, sizeof more)
                               : ::read(fd, page.data() + have, page.size() - have);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        if (full) {
            page.resize(have);
            page.append(more, static_cast<size_t>(n));
        }
        have += static_cast<size_t>(n);
    }
    ::close(fd);
    page.resize(have);
    return ok;
}

static int CmdHtml2Text(const std::vector<std::string>& args) {
    if (args.empty() || args.size() > 2) return Tool_Fail("usage: html2text FILE [FLAGS]", 2);
    uint32_t flags = 0;
    if (args.size() == 2 && !ParseFlags(args[1], flags))
        return Tool_Fail("FLAGS must be a number (decimal or 0x...): \"" + args[1] + "\"", 2);
    std::string page;
    if (!ReadPage(args[0], page)) return Tool_Fail("cannot read \"" + args[0] + "\"");
    // A UTF-8 byte-order mark says how the file is written; it is not part of the page.
    if (page.size() >= 3 && page.compare(0, 3, "\xEF\xBB\xBF") == 0) page.erase(0, 3);

    HtmlTextState state;
    HtmlText_InitPage(state, std::move(page));
    HtmlText_ApplyExtractFlags(state, flags);
    HtmlText_Convert(state);
    if (!state.Result.empty() &&
        std::fwrite(state.Result.data(), 1, state.Result.size(), stdout) != state.Result.size())
        return Tool_Fail("cannot write the result");
    if (std::fflush(stdout) != 0) return Tool_Fail("cannot write the result");
    return 0;
}

static ToolCommand reg("html2text", "html2text FILE [FLAGS]", &CmdHtml2Text);
