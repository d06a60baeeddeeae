// MD5 through the system's cryptography API (BCrypt, "CNG").
#include "platform/core/Hash.h"

#include <windows.h>

#include <bcrypt.h>

#include <algorithm>
#include <vector>

namespace {
// The provider is opened once for the process and shared: BCrypt algorithm handles may
// be used from several threads, each with its own hash object.
struct Md5Provider {
    BCRYPT_ALG_HANDLE Handle = nullptr;
    DWORD ObjectSize = 0;
    Md5Provider() {
        if (!BCRYPT_SUCCESS(
                BCryptOpenAlgorithmProvider(&Handle, BCRYPT_MD5_ALGORITHM, nullptr, 0))) {
            Handle = nullptr;
            return;
        }
        ULONG got = 0;
        if (!BCRYPT_SUCCESS(BCryptGetProperty(Handle, BCRYPT_OBJECT_LENGTH,
                                              reinterpret_cast<PUCHAR>(&ObjectSize),
                                              sizeof ObjectSize, &got, 0))) {
            BCryptCloseAlgorithmProvider(Handle, 0);
            Handle = nullptr;
        }
    }
    ~Md5Provider() {
        if (Handle) BCryptCloseAlgorithmProvider(Handle, 0);
    }
};

const Md5Provider& Provider() {
    static const Md5Provider provider;
    return provider;
}
} // namespace

std::string Md5Hex(std::string_view bytes) {
    const Md5Provider& p = Provider();
    if (!p.Handle) return {};
    std::vector<UCHAR> object(p.ObjectSize ? p.ObjectSize : 1);
    BCRYPT_HASH_HANDLE hash = nullptr;
    if (!BCRYPT_SUCCESS(BCryptCreateHash(p.Handle, &hash, object.data(),
                                         static_cast<ULONG>(object.size()), nullptr, 0, 0)))
        return {};
    unsigned char digest[16];
    bool ok = true;
    // BCryptHashData takes a ULONG length: large inputs go in slices.
    size_t off = 0;
    while (ok && off < bytes.size()) {
        const size_t n = std::min<size_t>(bytes.size() - off, size_t(1) << 30);
        ok = BCRYPT_SUCCESS(
            BCryptHashData(hash, reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data() + off)),
                           static_cast<ULONG>(n), 0));
        off += n;
    }
    ok = ok && BCRYPT_SUCCESS(BCryptFinishHash(hash, digest, sizeof digest, 0));
    BCryptDestroyHash(hash);
    if (!ok) return {};
    static const char hex[] = "0123456789abcdef";
    std::string r;
    r.reserve(32);
    for (unsigned char b : digest) {
        r.push_back(hex[b >> 4]);
        r.push_back(hex[b & 15]);
    }
    return r;
}
