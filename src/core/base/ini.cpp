#include "core/base/ini.h"

#include <vector>

#include "core/base/files.h"
#include "core/base/text.h"
#include "core/base/utf.h"

namespace tavlin {
namespace {

struct Line {
  size_t start = 0;  // first byte of the line
  size_t end = 0;    // one past the last byte before the line break
  size_t next = 0;   // first byte of the following line
};

std::vector<Line> SplitLines(const std::string& bytes) {
  std::vector<Line> lines;
  // Editors may put a byte-order mark before the first section: it is no part of it.
  size_t i = bytes.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
  while (i < bytes.size()) {
    Line line;
    line.start = i;
    while (i < bytes.size() && bytes[i] != '\n' && bytes[i] != '\r') ++i;
    line.end = i;
    if (i < bytes.size() && bytes[i] == '\r') ++i;
    if (i < bytes.size() && bytes[i] == '\n') ++i;
    line.next = i;
    lines.push_back(line);
  }
  return lines;
}

// The section name of a header line, or nothing for other lines.
std::optional<std::string> SectionOf(std::string_view line) {
  const std::string t = Trim(line);
  if (t.empty() || t[0] != '[') return std::nullopt;
  const size_t close = t.find(']');
  return Trim(std::string_view(t).substr(1, close == std::string::npos ? std::string::npos : close - 1));
}

// Key and raw value of a "key=value" line; comments and other lines give nothing.
bool SplitKeyLine(std::string_view line, std::string& key, std::string& value) {
  const std::string t = Trim(line);
  if (t.empty() || t[0] == ';') return false;
  const size_t eq = t.find('=');
  if (eq == std::string::npos) return false;
  key = Trim(std::string_view(t).substr(0, eq));
  value = Trim(std::string_view(t).substr(eq + 1));
  return true;
}

std::string Unquote(std::string value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

std::string CutToLimit(std::string value) {
  value.resize(Utf8Boundary(value, kProfileValueLimit));
  return value;
}

}  // namespace

std::optional<std::string> ProfileText::Get(std::string_view section, std::string_view key) const {
  bool inSection = false;
  bool seenSection = false;
  for (const Line& line : SplitLines(bytes_)) {
    const std::string_view text(bytes_.data() + line.start, line.end - line.start);
    if (auto name = SectionOf(text)) {
      // Only the first section of that name counts.
      if (inSection) return std::nullopt;
      inSection = !seenSection && EqualsIgnoreCaseAscii(*name, section);
      seenSection = seenSection || inSection;
      continue;
    }
    if (!inSection) continue;
    std::string k, v;
    if (SplitKeyLine(text, k, v) && EqualsIgnoreCaseAscii(k, key)) return CutToLimit(Unquote(v));
  }
  return std::nullopt;
}

void ProfileText::Set(std::string_view section, std::string_view key, std::string_view value) {
  // A line break inside a value would split it into lines of its own.
  const size_t br = value.find_first_of("\r\n");
  if (br != std::string_view::npos) value = value.substr(0, br);
  const std::string keyLine = std::string(key) + "=" + std::string(value);

  const std::vector<Line> lines = SplitLines(bytes_);
  bool inSection = false;
  bool found = false;
  size_t lastContent = std::string::npos;  // index of the section's last non-blank line
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string_view text(bytes_.data() + lines[i].start, lines[i].end - lines[i].start);
    if (auto name = SectionOf(text)) {
      if (inSection) break;
      if (!found && EqualsIgnoreCaseAscii(*name, section)) {
        inSection = found = true;
        lastContent = i;
      }
      continue;
    }
    if (!inSection) continue;
    std::string k, v;
    if (SplitKeyLine(text, k, v) && EqualsIgnoreCaseAscii(k, key)) {
      bytes_.replace(lines[i].start, lines[i].end - lines[i].start, keyLine);
      return;
    }
    if (!Trim(text).empty()) lastContent = i;
  }
  if (found) {
    const Line& after = lines[lastContent];
    if (after.next == after.end) {  // last line of the file, without a line break
      bytes_.insert(after.end, "\r\n" + keyLine + "\r\n");
    } else {
      bytes_.insert(after.next, keyLine + "\r\n");
    }
    return;
  }
  if (!bytes_.empty() && bytes_.back() != '\n' && bytes_.back() != '\r') bytes_ += "\r\n";
  bytes_ += "[" + std::string(section) + "]\r\n" + keyLine + "\r\n";
}

std::optional<std::string> ReadProfileString(const std::string& path, std::string_view section, std::string_view key) {
  auto bytes = ReadWholeFile(path);
  if (!bytes) return std::nullopt;
  return ProfileText(std::move(*bytes)).Get(section, key);
}

bool WriteProfileString(const std::string& path, std::string_view section, std::string_view key,
                        std::string_view value) {
  const ProfileEntry entry{section, key, value};
  return WriteProfileStrings(path, {&entry, 1});
}

bool WriteProfileStrings(const std::string& path, std::span<const ProfileEntry> entries) {
  auto existing = ReadWholeFile(path);
  // A file that exists but cannot be read must not be replaced by a one-key file.
  if (!existing && FileExists(path)) return false;
  ProfileText text(existing.value_or(std::string()));
  for (const ProfileEntry& e : entries) text.Set(e.section, e.key, e.value);
  if (existing && text.bytes() == *existing) return true;
  return WriteFileAtomically(path, text.bytes());
}

}  // namespace tavlin
