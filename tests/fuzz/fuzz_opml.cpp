// libFuzzer target for the OPML reader: any bytes, read from memory as a file would be
// (the repair passes included when expat refuses them), must give a status without a
// crash, append no more feeds than the bound, and every feed kept has an address.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "catalogue/core/Records.h"
#include "discovery/core/OPML.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CursorList<Rss> list;
    int status = -1;
    const size_t n = OPML_ReadBytes(bytes, "fuzz.opml", list, &status);
    if (status != OPML_READ_OK && status != OPML_READ_INVALID) std::abort();
    if (n != list.Size() || n > OPML_MAX_FEEDS) std::abort();
    if (status != OPML_READ_OK && n != 0) std::abort();
    for (const Rss& f : list)
        if (f.Url.empty()) std::abort();
    return 0;
}
