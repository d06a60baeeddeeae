// libFuzzer target for the feed bank readers. The first byte chooses the reader:
//   0: the bank file reader, on the rest written to a file (it reads a path);
//   1: the clipboard text reader, on the rest as pasted text;
//   2: the same with the rest made a proposal whose packed part is those bytes, so the
//      Base64 and inflate steps see hostile data;
//   3: the same with the rest made a well-formed proposal, so its lines reach the entry
//      reader after decoding.
// Every feed kept must have an address; the clipboard reader never keeps one twice.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "catalogue/core/Records.h"
#include "discovery/core/BankExchange.h"
#include "discovery/core/FeedBank.h"
#include "platform/core/Hash.h"

static std::string TempPath() {
    static std::string path;
    if (path.empty()) {
        char name[] = "/tmp/fuzz_bank_XXXXXX";
        const int fd = mkstemp(name);
        if (fd < 0) std::abort();
        close(fd);
        path = name;
    }
    return path;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const int mode = data[0] % 4;
    const std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    CursorList<Rss> list;
    int n = 0;
    if (mode == 0) {
        const std::string path = TempPath();
        FILE* f = std::fopen(path.c_str(), "wb");
        if (!f) std::abort();
        if (!rest.empty() && std::fwrite(rest.data(), 1, rest.size(), f) != rest.size())
            std::abort();
        std::fclose(f);
        n = DBRss_Read(path, list);
    } else {
        std::string text = rest;
        if (mode == 2) text = "UTF8\n" + Base64Encode(rest) + "\n";
        if (mode == 3) text = DBRss_ProposalText(rest);
        n = DBRss_ReadClipboardText(text, list);
    }
    if (n < 0 || static_cast<size_t>(n) != list.Size()) std::abort();
    for (const Rss& f : list)
        if (f.Url.empty()) std::abort();
    return 0;
}
