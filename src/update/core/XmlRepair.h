// Parsing downloaded documents, and repairing the faults feeds on the web most often have
// when the first parse fails: junk before the first "<", unclosed "/>" forms, bare or
// undefined entities, control characters and a "utf8" encoding name.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "shell/base/XmlTree.h"

// Parses the first `size` bytes of `memory` (its encoding taken from the document), or,
// when memory is null, the file `name` (its encoding taken from the document, UTF-8 when
// it names none). When that fails, the bytes are read as UTF-8 text (Windows-1252 when
// they are not UTF-8, UTF-16 after its byte-order mark), line ends are normalised, what
// comes before the first "<" is dropped, and the text is parsed and patched at most twice.
// Every failure and every repair is logged. nullptr when no well-formed document results;
// a returned document parsed without error. Never parses more than three times.
std::unique_ptr<XmlDocument> IsGoodXML(std::string_view name, const std::string* memory,
                                       int64_t size);

// The patches of the repair loop, by expat error code; each returns the patched text.
// 5 (unclosed token): every "/>" becomes " />".
std::string XmlPatch_UnclosedToken(std::string_view text);
// 11 (undefined entity): every "&" becomes "&amp;", valid references included.
std::string XmlPatch_UndefinedEntity(std::string_view text);
// 4 (invalid token): characters 1 to 31 other than tab, LF and CR removed, and every "&"
// that does not begin a well-formed reference (a name or "#" number, then ";") escaped;
// CDATA sections and comments keep their ampersands.
std::string XmlPatch_InvalidToken(std::string_view text);
// 18 (unknown encoding): every "utf8" becomes "UTF-8", ignoring case.
std::string XmlPatch_UnknownEncoding(std::string_view text);
