#pragma once
// UTF-8 is the text of files, pages and the program; the JavaScript-style escapes
// work on UTF-16 units. These two convert between them without ever failing.
#include <string>
#include <string_view>

namespace tavlin {

// Malformed UTF-8 bytes become U+FFFD each.
std::u16string Utf8ToUtf16(std::string_view text);
// Unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);
// Splits UTF-8 into code points (malformed bytes give U+FFFD, one byte each).
std::u32string Utf8ToCodePoints(std::string_view text);
void AppendUtf8(std::string& out, char32_t cp);

// The one walk over UTF-8 text: the code point at text[i], with i moved past it.
// Malformed bytes give U+FFFD, one byte each; never reads past the end.
char32_t NextCodePoint(std::string_view text, size_t& i);
// The longest prefix of at most maxBytes bytes that ends on a character boundary.
size_t Utf8Boundary(std::string_view text, size_t maxBytes);
// Whether every byte belongs to a well-formed UTF-8 sequence.
bool IsWellFormedUtf8(std::string_view text);

}  // namespace tavlin
