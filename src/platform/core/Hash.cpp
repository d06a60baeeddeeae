#include "platform/core/Hash.h"

#include <openssl/evp.h>
#include <zlib.h>

#include <algorithm>

std::string Md5Hex(std::string_view bytes) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int len = 0;
    EVP_Digest(bytes.data(), bytes.size(), digest, &len, EVP_md5(), nullptr);
    static const char hex[] = "0123456789abcdef";
    std::string r;
    r.reserve(len * 2);
    for (unsigned int i = 0; i < len; ++i) {
        r.push_back(hex[digest[i] >> 4]);
        r.push_back(hex[digest[i] & 15]);
    }
    return r;
}

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
