#include "platform/core/Hash.h"

#include <zlib.h>

#include <algorithm>

uint32_t Crc32(std::string_view bytes) {
    uLong c = crc32(0L, Z_NULL, 0);
    // zlib takes a uInt length; feed large inputs in slices.
    size_t off = 0;
    while (off < bytes.size()) {
        const size_t n = std::min<size_t>(bytes.size() - off, 1u << 30);
        c = crc32(c, reinterpret_cast<const Bytef*>(bytes.data() + off), static_cast<uInt>(n));
        off += n;
    }
    return static_cast<uint32_t>(c);
}
