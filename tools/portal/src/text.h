// Small text helpers of the demo portal.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace portal {

// JavaScript's escape() over the UTF-16 units of a UTF-8 text: the program
// unescapes titles and addresses with unescape(), so links must match it.
// Invalid UTF-8 bytes are escaped one by one as %XX.
std::string js_escape(std::string_view utf8);

// Text made safe for HTML element content and double-quoted attributes.
std::string html_escape(std::string_view text);

// Percent-decoding of a URL path (no "+" handling: paths keep their plus signs).
std::string percent_decode(std::string_view text);

// Whole-string decimal integer; nullopt for anything else (signs not allowed).
std::optional<long> parse_number(std::string_view text);

std::vector<std::string> split(std::string_view text, std::string_view separator);

}  // namespace portal
