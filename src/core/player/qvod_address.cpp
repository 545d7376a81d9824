#include "core/player/qvod_address.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "core/base/text.h"

namespace tavlin::player {
namespace {

// ASCII only: the program runs under the user's locale, where <cctype> may count
// single bytes above 0x7f as letters.
char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }
bool IsAsciiAlnum(char c) { return IsAsciiDigit(c) || (AsciiLower(c) >= 'a' && AsciiLower(c) <= 'z'); }


std::vector<std::string> SplitBars(std::string_view text) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (true) {
    size_t bar = text.find('|', start);
    if (bar == std::string_view::npos) {
      parts.emplace_back(text.substr(start));
      return parts;
    }
    parts.emplace_back(text.substr(start, bar - start));
    start = bar + 1;
  }
}

// No folder parts, and not hidden: a page must not name the user's dot-files (the
// download folder may be the home folder) nor the program's own unfinished items.
bool IsBareFileName(const std::string& name) {
  if (name.empty() || name.front() == '.') return false;
  return std::none_of(name.begin(), name.end(), [](char c) {
    return c == '/' || c == '\\' || c == '\0' || static_cast<unsigned char>(c) < 0x20;
  });
}

}  // namespace

std::optional<QvodAddress> ParseQvodAddress(const std::string& text) {
  static constexpr std::string_view kScheme = "qvod://";
  if (!StartsWithIgnoreCaseAscii(text, kScheme)) return std::nullopt;
  std::vector<std::string> parts = SplitBars(std::string_view(text).substr(kScheme.size()));
  // size | hash | name | and nothing after the closing bar
  if (parts.size() != 4 || !parts[3].empty()) return std::nullopt;
  const std::string& size = parts[0];
  if (size.empty() || size.size() > 15 ||
      !std::all_of(size.begin(), size.end(), IsAsciiDigit)) {
    return std::nullopt;
  }
  QvodAddress address;
  address.size = std::stoll(size);
  address.hash = parts[1];
  address.name = parts[2];
  if (address.size <= 0 || address.hash.empty() ||
      !std::all_of(address.hash.begin(), address.hash.end(), IsAsciiAlnum)) {
    return std::nullopt;
  }
  if (!IsBareFileName(address.name)) return std::nullopt;
  return address;
}

SourceKind ClassifySource(const std::string& url) {
  if (url.empty()) return SourceKind::kRejected;
  if (StartsWithIgnoreCaseAscii(url, "qvod://")) {
    return ParseQvodAddress(url) ? SourceKind::kQvod : SourceKind::kRejected;
  }
  if (IsWebAddress(url)) return SourceKind::kHttpStream;
  if (url.find("://") != std::string::npos) return SourceKind::kRejected;
  // The control hands mpv an absolute path, so "-" (stdin) or a relative name cannot
  // be read as anything but a file.
  return SourceKind::kLocalFile;
}

}  // namespace tavlin::player
