// MD5 through OpenSSL's digest interface.
#include "platform/core/Hash.h"

#include <openssl/evp.h>

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
