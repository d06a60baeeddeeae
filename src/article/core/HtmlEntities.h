// Small HTML text functions used on their own by every reader of feeds, OPML files and
// pages: character references, tag stripping, line-break tags, typographic quotes.
//
// All texts are UTF-8. Where a rule counts positions it counts characters (code points),
// never bytes, so a page written in any script gives the same result as a walk over its
// characters. Invalid UTF-8 bytes are read as U+FFFD by the functions that decode.
//
// The plain-text form of an HTML description is
//   RemoveHtmlTags(DecodeHtmlEntities(ReplaceHtmlBreaks(html, "\n")))
#pragma once
#include <string>
#include <string_view>

// Decodes character references, in this fixed order (each step over the whole text):
//  1. "&quot;" "&lt;" "&gt;"; 2. the Windows-1252 names ("&euro;" "&hellip;" "&rsquo;"...);
//  3. "&nbsp;" -> ordinary space; 4. the Latin-1 names U+00A1-U+00FF ("&hibar;" for the
//  macron, "&shy;" -> U+00AD); 5. "&thinsp;" -> space, "&prime;" U+2032, "&Prime;" U+2033;
//  6. "&amp;" -> "&" (so "&amp;lt;" ends as "&lt;"); 7. numeric references "&#65;" "&#x41;"
//  whose ";" stands fewer than 10 characters after the "&" and whose value is 32 or more;
//  8. FixCp1252Controls.
// Names that have a twin differing only in case ("&Eacute;"/"&eacute;", "&Dagger;"/
// "&dagger;", "&Prime;"/"&prime;") match exactly; all other names ignore ASCII case
// ("&QUOT;", "&AMP;"). A numeric reference to a code point above U+FFFF gives that
// character; one that names no character (a surrogate, above U+10FFFF) stays as written.
std::string DecodeHtmlEntities(std::string_view text);
std::u32string DecodeHtmlEntities32(std::u32string_view text);
// The same, replacement after replacement as stated above: slow (one pass per name and
// per distinct numeric reference); kept to check the one-pass version against it.
std::u32string DecodeHtmlEntitiesLiteral32(std::u32string_view text);

// Each character U+0080-U+009F becomes the character Windows-1252 puts at that byte (U+0080
// -> U+20AC euro, U+0096 -> U+2013 ...); the five undefined ones (81 8D 8F 90 9D) stay.
std::string FixCp1252Controls(std::string_view text);
void FixCp1252Controls32(std::u32string& text);

// Removes every tag: a "<" up to the ">" that balances the angle brackets counted from it
// ("<a <b> c>" is one tag). A "<" that is never balanced is ordinary text.
std::string RemoveHtmlTags(std::string_view text);

// Replaces "<br>", "<br >", "<br/>" and "<br />" (any case) by `replacement`, in that order.
std::string ReplaceHtmlBreaks(std::string_view text, std::string_view replacement);

// U+0091/U+0092 and U+2018/U+2019 -> apostrophe, U+0093/U+0094 and U+201C/U+201D -> double
// quote, U+00A0 -> space.
std::string PlainQuotes(std::string_view text);
