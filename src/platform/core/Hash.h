// Published algorithms the program uses as such: MD5 (article identifiers), CRC-32
// (extractor identifiers) and Base64 (credentials, the stored proxy password).
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// MD5 of the bytes, as 32 lower-case hexadecimal digits.
std::string Md5Hex(std::string_view bytes);
// CRC-32 with the reflected polynomial 0xEDB88320 (zlib's crc32).
uint32_t Crc32(std::string_view bytes);
// Base64 (RFC 4648, with padding). Decoding skips characters outside the alphabet.
std::string Base64Encode(std::string_view bytes);
std::string Base64Decode(std::string_view text);
