// Small text helpers of the demo portal. Escaping and splitting are the program's
// own (core/app/text.h): links must come out exactly as the program reads them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/base/text.h"

namespace portal {

// Percent-decoding of a URL path (no "+" handling: paths keep their plus signs).
std::string percent_decode(std::string_view text);

// Whole-string decimal integer; nullopt for anything else (signs not allowed).
std::optional<long> parse_number(std::string_view text);

}  // namespace portal
