#pragma once
// The settings file engine: profile-string semantics on a plain INI file.
// Sections and keys match without regard to letter case; the first matching section
// and key win; values are trimmed and lose one pair of surrounding quotes; a write
// changes only the one key's line (or adds the key, or the section and the key),
// keeping every other line, comment and the order as they were.
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tavlin {

// Longest value a read returns, in bytes (a character is never cut in half).
inline constexpr size_t kProfileValueLimit = 254;

class ProfileText {
 public:
  explicit ProfileText(std::string bytes) : bytes_(std::move(bytes)) {}
  // The key's value, cut to the limit; nothing when the section or key is missing.
  std::optional<std::string> Get(std::string_view section, std::string_view key) const;
  void Set(std::string_view section, std::string_view key, std::string_view value);
  const std::string& bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

// On a file: a missing or unreadable file has no keys.
std::optional<std::string> ReadProfileString(const std::string& path, std::string_view section, std::string_view key);
// Creates the file and the section when missing; the rewrite is atomic.
[[nodiscard]] bool WriteProfileString(const std::string& path, std::string_view section, std::string_view key,
                                      std::string_view value);

struct ProfileEntry {
  std::string_view section, key, value;
};
// Several keys, in their order, with one atomic rewrite: all of them or none. A file
// that would not change is left as it is (each rewrite waits for the disk).
[[nodiscard]] bool WriteProfileStrings(const std::string& path, std::span<const ProfileEntry> entries);

}  // namespace tavlin
