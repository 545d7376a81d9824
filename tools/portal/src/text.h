// Small text helpers of the demo portal. Splitting and HTML escaping are the
// program's own (core/base/text.h); the links' escape is written here a second
// time, on purpose, so that a fault in the program's cannot hide in the portal too.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/base/text.h"

namespace portal {

// ECMAScript escape(): UTF-8 in, ASCII out. Letters, digits and @*_+-./ stay,
// other UTF-16 units below 256 become %XX, the rest %uXXXX (upper-case hex).
std::string js_escape(std::string_view utf8);

// Percent-decoding of a URL path (no "+" handling: paths keep their plus signs).
std::string percent_decode(std::string_view text);

// Whole-string decimal integer; nullopt for anything else (signs not allowed).
std::optional<long> parse_number(std::string_view text);

}  // namespace portal
