#include "core/base/config.h"

#include "core/base/ini.h"
#include "core/base/text.h"

#include <vector>

namespace tavlin {

std::string TrimAtNul(std::string_view text) { return std::string(text.substr(0, text.find('\0'))); }

std::string ReadIni(const std::string& file, std::string_view section, std::string_view key, std::string_view def) {
  const auto value = ReadProfileString(file, section, key);
  // The profile reader copies the default when the key is missing; a present but
  // empty key copies nothing and so reads as "".
  const std::string copied = value ? *value : TrimAtNul(std::string(def).substr(0, kProfileValueLimit));
  if (copied.empty()) return {};
  return TrimAtNul(copied);
}

bool WriteIni(const std::string& file, std::string_view section, std::string_view key, std::string_view value) {
  return WriteProfileString(file, section, key, value);
}

std::string ReadIni(const std::string& file, IniKey key, std::string_view def) {
  return ReadIni(file, key.section, key.name, def);
}

bool WriteIni(const std::string& file, IniKey key, std::string_view value) {
  return WriteIni(file, key.section, key.name, value);
}

bool WriteIni(const std::string& file, std::span<const IniValue> values) {
  std::vector<ProfileEntry> entries;
  entries.reserve(values.size());
  for (const IniValue& v : values) entries.push_back({v.key.section, v.key.name, v.value});
  return WriteProfileStrings(file, entries);
}

}  // namespace tavlin
