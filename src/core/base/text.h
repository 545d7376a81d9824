#pragma once
// Small text and path helpers shared by every subsystem. They hold no state.
#include <string>
#include <string_view>
#include <vector>

namespace tavlin {

// ECMAScript escape()/unescape() on UTF-16 units; input and output are UTF-8.
// Any text works: unlike an evaluated script expression, quotes and backslashes are
// ordinary characters here.
std::string EscapeText(std::string_view text);
std::string UnescapeText(std::string_view text);

// Text made safe as one value of a URL query: every byte but A-Z a-z 0-9 - . _ ~
// becomes %XX.
std::string PercentEncode(std::string_view text);

// Text made safe for HTML element content and quoted attributes.
std::string HtmlEscape(std::string_view text);

// Display width of a code point: below 256 counts 1, anything else 2.
int CharWidth(char32_t cp);
// The longest prefix whose width fits; the text unchanged when width/2 is at least
// its number of characters. No ellipsis.
std::string TruncateToWidth(std::string_view text, int width);

// "mm:ss", or "h:mm:ss" from one hour on. Fractions are dropped; a negative value
// counts as 0.
std::string FormatDuration(double seconds);

// The text after the last "/", or "" when there is none.
std::string FileNameOf(std::string_view path);
// The text before the last ".", or "" when there is none.
std::string StripExtension(std::string_view name);

// mode 1: from the first start mark to the end of the first end mark after it, both
// marks included. mode 2: the text strictly between them. "" when a mark is missing.
std::string ExtractBetween(std::string_view text, std::string_view startMark, std::string_view endMark, int mode);

// Names of the ordinary, non-hidden files in folder matching pattern ("*" and "?",
// letter case ignored, "*.*" matches every name). Returns false and leaves names
// unchanged when nothing matched.
bool ListFiles(const std::string& folder, std::vector<std::string>& names, std::string_view pattern);
bool WildcardMatch(std::string_view pattern, std::string_view name);

// String-to-integer as the program's settings use it: surrounding blanks allowed, a
// decimal fraction rounds half to even, anything else (or overflow) gives 0.
int ToNumber(std::string_view text);
// Like ToNumber, but says whether the text was a number at all.
bool ParseNumber(std::string_view text, int& value);

std::string Trim(std::string_view text);
// An http or https address with a host (letter case ignored): the only kind of
// address that text from outside may hand to the desktop.
bool IsWebAddress(std::string_view text);
std::vector<std::string> Split(std::string_view text, std::string_view sep);
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);
std::string ToUpperAscii(std::string_view text);
bool EqualsIgnoreCaseAscii(std::string_view a, std::string_view b);
bool StartsWithIgnoreCaseAscii(std::string_view text, std::string_view prefix);

}  // namespace tavlin
