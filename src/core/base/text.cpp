#include "core/base/text.h"

#include <cctype>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>

#include "core/base/utf.h"

namespace tavlin {
namespace {

bool IsEscapeSafe(char16_t u) {
  return (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') || (u >= u'0' && u <= u'9') || u == u'@' || u == u'*' ||
         u == u'_' || u == u'+' || u == u'-' || u == u'.' || u == u'/';
}

int HexValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  return -1;
}

char ToLowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::string EscapeText(std::string_view text) {
  static const char* kHex = "0123456789ABCDEF";
  std::string out;
  for (char16_t u : Utf8ToUtf16(text)) {
    if (IsEscapeSafe(u)) {
      out += static_cast<char>(u);
    } else if (u < 256) {
      out += '%';
      out += kHex[u >> 4];
      out += kHex[u & 0xF];
    } else {
      out += "%u";
      for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(u >> shift) & 0xF];
    }
  }
  return out;
}

std::string UnescapeText(std::string_view text) {
  const std::u16string in = Utf8ToUtf16(text);
  std::u16string out;
  out.reserve(in.size());
  for (size_t i = 0; i < in.size(); ++i) {
    if (in[i] == u'%') {
      if (i + 5 < in.size() && in[i + 1] == u'u') {
        const int a = HexValue(in[i + 2]), b = HexValue(in[i + 3]), c = HexValue(in[i + 4]), d = HexValue(in[i + 5]);
        if (a >= 0 && b >= 0 && c >= 0 && d >= 0) {
          out += static_cast<char16_t>((a << 12) | (b << 8) | (c << 4) | d);
          i += 5;
          continue;
        }
      }
      if (i + 2 < in.size()) {
        const int a = HexValue(in[i + 1]), b = HexValue(in[i + 2]);
        if (a >= 0 && b >= 0) {
          out += static_cast<char16_t>((a << 4) | b);
          i += 2;
          continue;
        }
      }
    }
    out += in[i];
  }
  return Utf16ToUtf8(out);
}

std::string HtmlEscape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string PercentEncode(std::string_view text) {
  static const char* const kHex = "0123456789ABCDEF";
  std::string out;
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (std::isalnum(c) && c < 0x80) {
      out += ch;
    } else if (c == '-' || c == '.' || c == '_' || c == '~') {
      out += ch;
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 0xF];
    }
  }
  return out;
}

int CharWidth(char32_t cp) { return cp < 256 ? 1 : 2; }

std::string TruncateToWidth(std::string_view text, int width) {
  const std::u32string chars = Utf8ToCodePoints(text);
  if (width / 2.0 >= static_cast<double>(chars.size())) return std::string(text);
  std::string out;
  int total = 0;
  for (char32_t cp : chars) {
    total += CharWidth(cp);
    if (total > width) break;
    AppendUtf8(out, cp);
  }
  return out;
}

std::string FormatDuration(double seconds) {
  long long s = 0;
  if (std::isfinite(seconds) && seconds > 0) {
    s = seconds >= 9.0e15 ? 9000000000000000LL : static_cast<long long>(seconds);
  }
  const long long h = s / 3600;
  const long long m = (s % 3600) / 60;
  const long long sec = (s % 3600) % 60;
  auto two = [](long long v) { return (v < 10 ? "0" : "") + std::to_string(v); };
  if (h == 0) return two(m) + ":" + two(sec);
  return std::to_string(h) + ":" + two(m) + ":" + two(sec);
}

std::string FileNameOf(std::string_view path) {
  const size_t pos = path.rfind('/');
  if (pos == std::string_view::npos) return {};
  return std::string(path.substr(pos + 1));
}

std::string StripExtension(std::string_view name) {
  const size_t pos = name.rfind('.');
  if (pos == std::string_view::npos) return {};
  return std::string(name.substr(0, pos));
}

std::string ExtractBetween(std::string_view text, std::string_view startMark, std::string_view endMark, int mode) {
  const size_t startPos = text.find(startMark);
  if (startPos == std::string_view::npos) return {};
  size_t start = startPos;
  if (mode == 2) start += startMark.size();
  const size_t endPos = text.find(endMark, start);
  if (endPos == std::string_view::npos) return {};
  size_t end = endPos;
  if (mode == 1) end += endMark.size();
  if (end <= start) return {};
  return std::string(text.substr(start, end - start));
}

bool WildcardMatch(std::string_view pattern, std::string_view name) {
  // "*.*" meant "every file" to the program, extension or not.
  if (pattern == "*.*") return true;
  size_t p = 0, n = 0, starP = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || ToLowerAscii(pattern[p]) == ToLowerAscii(name[n]))) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

bool ListFiles(const std::string& folder, std::vector<std::string>& names, std::string_view pattern) {
  namespace fs = std::filesystem;
  std::vector<std::string> found;
  std::error_code ec;
  fs::directory_iterator it(folder.empty() ? fs::path(".") : fs::path(folder), ec);
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    std::error_code typeEc;
    if (!it->is_regular_file(typeEc)) continue;
    const std::string name = it->path().filename().string();
    if (name.empty() || name[0] == '.') continue;  // hidden
    if (WildcardMatch(pattern, name)) found.push_back(name);
  }
  if (found.empty()) return false;
  names = std::move(found);
  return true;
}

bool ParseNumber(std::string_view text, int& value) {
  const std::string t = Trim(text);
  if (t.empty()) return false;
  size_t i = 0;
  bool negative = false;
  if (t[i] == '+' || t[i] == '-') negative = t[i++] == '-';
  long double whole = 0;
  bool digits = false;
  while (i < t.size() && t[i] >= '0' && t[i] <= '9') {
    whole = whole * 10 + (t[i++] - '0');
    digits = true;
  }
  long double frac = 0, scale = 1;
  if (i < t.size() && t[i] == '.') {
    ++i;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') {
      scale /= 10;
      frac += (t[i++] - '0') * scale;
      digits = true;
    }
  }
  if (!digits || i != t.size()) return false;
  long double v = whole + frac;
  // Conversion to an integer rounds half to even.
  long double rounded = std::nearbyint(v);
  if (std::fabs(v - std::floor(v) - 0.5L) < 1e-12L) {
    const long double fl = std::floor(v);
    rounded = std::fmod(fl, 2.0L) == 0 ? fl : fl + 1;
  }
  if (negative) rounded = -rounded;
  if (rounded > std::numeric_limits<int>::max() || rounded < std::numeric_limits<int>::min()) return false;
  value = static_cast<int>(rounded);
  return true;
}

int ToNumber(std::string_view text) {
  int v = 0;
  return ParseNumber(text, v) ? v : 0;
}

bool IsWebAddress(std::string_view text) {
  size_t start = 0;
  if (StartsWithIgnoreCaseAscii(text, "http://")) start = 7;
  else if (StartsWithIgnoreCaseAscii(text, "https://")) start = 8;
  else return false;
  // A host must follow: "http:///etc" names none.
  return start < text.size() && text.find_first_of("/?#", start) != start;
}

std::string Trim(std::string_view text) {
  const auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  size_t b = 0, e = text.size();
  while (b < e && isBlank(text[b])) ++b;
  while (e > b && isBlank(text[e - 1])) --e;
  return std::string(text.substr(b, e - b));
}

std::vector<std::string> Split(std::string_view text, std::string_view sep) {
  std::vector<std::string> parts;
  if (sep.empty()) {
    parts.emplace_back(text);
    return parts;
  }
  size_t start = 0;
  while (true) {
    const size_t pos = text.find(sep, start);
    if (pos == std::string_view::npos) {
      parts.emplace_back(text.substr(start));
      return parts;
    }
    parts.emplace_back(text.substr(start, pos - start));
    start = pos + sep.size();
  }
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(text);
  std::string out;
  size_t start = 0;
  while (true) {
    const size_t pos = text.find(from, start);
    if (pos == std::string_view::npos) break;
    out.append(text.substr(start, pos - start));
    out.append(to);
    start = pos + from.size();
  }
  out.append(text.substr(start));
  return out;
}

std::string ToUpperAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

bool StartsWithIgnoreCaseAscii(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsIgnoreCaseAscii(text.substr(0, prefix.size()), prefix);
}

bool EqualsIgnoreCaseAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (ToLowerAscii(a[i]) != ToLowerAscii(b[i])) return false;
  }
  return true;
}

}  // namespace tavlin
