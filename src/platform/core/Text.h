// Text helpers. Every text inside the program is UTF-8 in a std::string; these
// functions convert at the edges (UTF-16 files and hashes, Windows-1252 files) and
// give the character-based operations the program needs.
#pragma once
#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

// Decoding: invalid sequences become U+FFFD; never reads past the end.
std::u32string Utf8ToUtf32(std::string_view s);
std::string Utf32ToUtf8(std::u32string_view s);
void Utf8Append(std::string& out, char32_t c);
std::u16string Utf8ToUtf16(std::string_view s);
std::string Utf16ToUtf8(std::u16string_view s);
// UTF-16LE bytes of a text, as Windows stores a string in memory.
std::string Utf8ToUtf16LEBytes(std::string_view s);
std::string Utf16LEBytesToUtf8(std::string_view bytes);

// True when the bytes are well-formed UTF-8.
bool IsValidUtf8(std::string_view s);
// Eight bytes of a text as one word whose lowest byte is the first in memory, and the
// index (0 to 7) of the first byte flagged in a mask of such a word's 0x80 bits (mask not
// 0): the word-at-a-time scans of texts.
inline uint64_t LoadBytes8(const void* p) {
    uint64_t w;
    std::memcpy(&w, p, 8);
    if constexpr (std::endian::native == std::endian::big) w = __builtin_bswap64(w);
    return w;
}
inline size_t FirstFlaggedByte(uint64_t mask) {
    return static_cast<size_t>(std::countr_zero(mask)) / 8;
}
// Length (2 to 4) of the well-formed sequence that starts at p[0] >= 0x80, `avail` bytes
// being readable from p; 0 when the bytes there are no well-formed character.
inline size_t Utf8SequenceLength(const unsigned char* p, size_t avail) {
    const unsigned char c = p[0];
    auto cont = [](unsigned char b) { return (b & 0xC0) == 0x80; };
    if (c >= 0xC2 && c <= 0xDF) return avail >= 2 && cont(p[1]) ? 2 : 0;
    if (c >= 0xE0 && c <= 0xEF) {
        if (avail < 3 || !cont(p[2])) return 0;
        const unsigned char lo = c == 0xE0 ? 0xA0 : 0x80, hi = c == 0xED ? 0x9F : 0xBF;
        return p[1] >= lo && p[1] <= hi ? 3 : 0;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        if (avail < 4 || !cont(p[2]) || !cont(p[3])) return 0;
        const unsigned char lo = c == 0xF0 ? 0x90 : 0x80, hi = c == 0xF4 ? 0x8F : 0xBF;
        return p[1] >= lo && p[1] <= hi ? 4 : 0;
    }
    return 0;
}

// Windows-1252 ("ANSI code page") to UTF-8 and back; unmappable characters become '?'.
std::string Cp1252ToUtf8(std::string_view s);
std::string Utf8ToCp1252(std::string_view s);
char32_t Cp1252ToCodePoint(unsigned char c);

// Number of characters (code points) of a UTF-8 text.
size_t Utf8Length(std::string_view s);
// Byte offset of character number `chars` (clamped to the end).
size_t Utf8Offset(std::string_view s, size_t chars);
// The first `chars` characters; the characters from `start` on.
std::string Utf8Left(std::string_view s, size_t chars);
std::string Utf8Mid(std::string_view s, size_t start, size_t chars = std::string::npos);

// ASCII case helpers (what the file formats compare with).
char AsciiLower(char c);
std::string AsciiLower(std::string_view s);
std::string AsciiUpper(std::string_view s);
bool EqualsNoCase(std::string_view a, std::string_view b);
bool StartsWithNoCase(std::string_view s, std::string_view prefix);
bool EndsWithNoCase(std::string_view s, std::string_view suffix);
// Position of `needle` in `s` from byte `from`, ignoring ASCII case; npos when absent.
size_t FindNoCase(std::string_view s, std::string_view needle, size_t from = 0);

// Unicode-aware case mapping for Latin, Greek and Cyrillic letters (what Windows' LCase
// and UCase do for the texts feeds carry).
char32_t UnicodeLower(char32_t c);
char32_t UnicodeUpper(char32_t c);
std::string Utf8Lower(std::string_view s);
std::string Utf8Upper(std::string_view s);

// Spaces and tabs removed at both ends (TrimBlanks), or any whitespace incl. CR LF (Trim).
std::string TrimBlanks(std::string_view s);
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);

// Every occurrence of `from` replaced, left to right, in one pass.
std::string ReplaceAll(std::string_view s, std::string_view from, std::string_view to);
std::string ReplaceAllNoCase(std::string_view s, std::string_view from, std::string_view to);
std::vector<std::string> Split(std::string_view s, char sep);

// Decimal integer with the leniency of BASIC's Val(): leading blanks, optional sign,
// digits until the first non-digit; 0 when there are none. Saturates instead of overflowing.
int64_t ValInt(std::string_view s);
int32_t ValInt32(std::string_view s);

// Path helpers: stored values may use '\' or '/'.
bool IsPathSeparator(char c);
std::string ToNativeSeparators(std::string_view path);
