// Reading the page file the main program downloaded for the extractor.
#pragma once
#include <string>

enum PageFormat { PageAnsi, PageUtf8, PageUtf16 };

// The whole file as Windows-1252 text. The charset is sniffed in the first 1000 bytes,
// ignoring case, the first test that hits wins: "iso-8859" 8-bit; "utf-8"/"utf8" UTF-8;
// "unicode"/"utf-16" UTF-16; none: `defaultFormat`. Before the sniffing, a byte-order mark decides,
// and NUL bytes in the head mean UTF-16 (LE or BE by their place); without them a UTF-16
// declaration is not believed (8-bit). Bytes declared UTF-8 that are not valid UTF-8 are kept as
// 8-bit. False when the path is empty or the file cannot be read.
bool ReadPageFile(const std::string& path, std::string& text, PageFormat defaultFormat = PageAnsi);
// The sniffing step alone, on the raw bytes.
PageFormat SniffPageFormat(const std::string& bytes, PageFormat defaultFormat);
