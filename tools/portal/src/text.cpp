#include "text.h"

#include <charconv>

namespace portal {
namespace {

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Decodes UTF-8 by hand; a malformed byte stands for U+FFFD.
std::u32string code_points(std::string_view text) {
  std::u32string out;
  for (size_t i = 0; i < text.size();) {
    const auto b = static_cast<unsigned char>(text[i]);
    const size_t n = b < 0x80 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 0;
    bool ok = n > 0 && i + n <= text.size();
    char32_t cp = n == 1 ? b : n == 2 ? (b & 0x1F) : n == 3 ? (b & 0x0F) : (b & 0x07);
    for (size_t k = 1; ok && k < n; ++k) {
      const auto c = static_cast<unsigned char>(text[i + k]);
      ok = (c & 0xC0) == 0x80;
      cp = (cp << 6) | (c & 0x3F);
    }
    out += ok ? cp : U'\uFFFD';
    i += ok ? n : 1;
  }
  return out;
}

void append_unit(std::string& out, unsigned unit) {
  static const char* const kHex = "0123456789ABCDEF";
  const bool plain =
      (unit >= 'A' && unit <= 'Z') || (unit >= 'a' && unit <= 'z') || (unit >= '0' && unit <= '9') ||
      (unit < 0x80 && std::string_view("@*_+-./").find(static_cast<char>(unit)) != std::string_view::npos);
  if (plain) {
    out += static_cast<char>(unit);
  } else if (unit < 0x100) {
    out += '%';
    out += kHex[unit >> 4];
    out += kHex[unit & 0xF];
  } else {
    out += "%u";
    for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(unit >> shift) & 0xF];
  }
}

}  // namespace

std::string js_escape(std::string_view utf8) {
  std::string out;
  for (char32_t cp : code_points(utf8)) {
    if (cp >= 0x10000) {
      append_unit(out, 0xD800 + ((cp - 0x10000) >> 10));
      append_unit(out, 0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      append_unit(out, static_cast<unsigned>(cp));
    }
  }
  return out;
}

std::string percent_decode(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      const int hi = hex_value(text[i + 1]);
      const int lo = hex_value(text[i + 2]);
      if (hi >= 0 && lo >= 0) {
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

std::optional<long> parse_number(std::string_view text) {
  if (text.empty()) return std::nullopt;
  long value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || text.front() == '-') return std::nullopt;
  return value;
}

}  // namespace portal
