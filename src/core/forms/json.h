#pragma once
#include <string>
#include <string_view>

namespace tavlin::forms {

// A JSON string literal for UTF-8 text (control characters escaped).
std::string JsonQuote(std::string_view text);

}  // namespace tavlin::forms
