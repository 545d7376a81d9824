#include "core/player/qvod_address.h"

#include <algorithm>
#include <iterator>
#include <string_view>
#include <vector>

#include "core/base/text.h"
#include "core/base/utf.h"

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

struct Range {
  char32_t first, last;
};

// Unicode 15: general categories Cc, Cf, Zl and Zp.
constexpr Range kUnseen[] = {{0x0000, 0x001F},   {0x007F, 0x009F},   {0x00AD, 0x00AD},   {0x0600, 0x0605},
                             {0x061C, 0x061C},   {0x06DD, 0x06DD},   {0x070F, 0x070F},   {0x0890, 0x0891},
                             {0x08E2, 0x08E2},   {0x180E, 0x180E},   {0x200B, 0x200F},   {0x2028, 0x202E},
                             {0x2060, 0x2064},   {0x2066, 0x206F},   {0xFEFF, 0xFEFF},   {0xFFF9, 0xFFFB},
                             {0x110BD, 0x110BD}, {0x110CD, 0x110CD}, {0x13430, 0x1343F}, {0x1BCA0, 0x1BCA3},
                             {0x1D173, 0x1D17A}, {0xE0001, 0xE0001}, {0xE0020, 0xE007F}};
// Unicode White_Space, besides the line and paragraph separators above.
constexpr Range kBlanks[] = {{0x0009, 0x000D}, {0x0020, 0x0020}, {0x0085, 0x0085}, {0x00A0, 0x00A0}, {0x1680, 0x1680},
                             {0x2000, 0x200A}, {0x202F, 0x202F}, {0x205F, 0x205F}, {0x3000, 0x3000}};

template <size_t N>
bool In(const Range (&ranges)[N], char32_t c) {
  return std::any_of(std::begin(ranges), std::end(ranges), [c](Range r) { return c >= r.first && c <= r.last; });
}

}  // namespace

std::string HonestFileName(std::string_view name) {
  std::u32string shown;
  for (size_t i = 0; i < name.size();) {
    const char32_t c = NextCodePoint(name, i);
    shown.push_back(In(kUnseen, c) ? U'_' : c);
  }
  auto trimmed = [](char32_t c) { return c == U'.' || In(kBlanks, c); };
  size_t first = 0, last = shown.size();
  while (first < last && trimmed(shown[first])) ++first;
  while (last > first && trimmed(shown[last - 1])) --last;
  std::string out;
  for (size_t i = first; i < last; ++i) AppendUtf8(out, shown[i]);
  return out;
}

std::optional<QvodAddress> ParseQvodAddress(const std::string& text) {
  static constexpr std::string_view kScheme = "qvod://";
  if (!StartsWithIgnoreCaseAscii(text, kScheme)) return std::nullopt;
  std::vector<std::string> parts = SplitBars(std::string_view(text).substr(kScheme.size()));
  // size | hash | name | and nothing after the closing bar
  if (parts.size() != 4 || !parts[3].empty()) return std::nullopt;
  const std::string& size = parts[0];
  if (size.empty() || size.size() > 15 || !std::all_of(size.begin(), size.end(), IsAsciiDigit)) {
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
  address.name = HonestFileName(address.name);
  if (address.name.empty()) return std::nullopt;
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
