// Small address helpers shared by the update pipeline and the podcast code.
#pragma once
#include <string>
#include <string_view>

// The extension of an address: the text after the last "." of its last path segment,
// before any "?" or "#"; empty when that segment has no ".".
std::string Url_Extension(std::string_view url);
// True when the lower-cased extension occurs anywhere in the fixed audio list
// "aiff;aad;flac;fla;ogg;mp3;m4a;m4v;wav;wma"; an empty extension never matches.
bool Url_IsAudioExtension(std::string_view extension);
// Percent-decoding; a "%" not followed by two hexadecimal digits stays as it is.
std::string Url_PercentDecode(std::string_view text);
