#pragma once
// config.ini: the program's settings. Every reader goes to the file (nothing is
// cached), so a value written anywhere is seen by the next read everywhere.
#include <string>
#include <string_view>

namespace tavlin {

// The value of the key; "" when the key is present but empty; def when the section
// or key (or the file) is missing. Cut at 254 bytes and at the first NUL.
std::string ReadIni(const std::string& file, std::string_view section, std::string_view key,
                    std::string_view def = "0");
// Writes one key; creates the file and the section when missing.
[[nodiscard]] bool WriteIni(const std::string& file, std::string_view section, std::string_view key,
              std::string_view value);

// The text before the first NUL, or all of it.
std::string TrimAtNul(std::string_view text);

}  // namespace tavlin
