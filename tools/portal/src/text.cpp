#include "text.h"

#include <charconv>

namespace portal {
namespace {

constexpr char kHex[] = "0123456789ABCDEF";

bool kept_by_escape(char32_t c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) return true;
  switch (c) {
    case '@': case '*': case '_': case '+': case '-': case '.': case '/':
      return true;
    default:
      return false;
  }
}

void append_unit(std::string& out, char16_t unit) {
  if (unit < 256 && kept_by_escape(unit)) {
    out += static_cast<char>(unit);
  } else if (unit < 256) {
    out += '%';
    out += kHex[unit >> 4];
    out += kHex[unit & 0xF];
  } else {
    out += "%u";
    for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(unit >> shift) & 0xF];
  }
}

// Decodes one UTF-8 sequence at text[pos]; returns its length, or 0 when invalid.
size_t decode_utf8(std::string_view text, size_t pos, char32_t& cp) {
  const auto b0 = static_cast<unsigned char>(text[pos]);
  size_t len = 0;
  if (b0 < 0x80) { cp = b0; return 1; }
  if ((b0 & 0xE0) == 0xC0) { len = 2; cp = b0 & 0x1F; }
  else if ((b0 & 0xF0) == 0xE0) { len = 3; cp = b0 & 0x0F; }
  else if ((b0 & 0xF8) == 0xF0) { len = 4; cp = b0 & 0x07; }
  else return 0;
  if (pos + len > text.size()) return 0;
  for (size_t i = 1; i < len; ++i) {
    const auto b = static_cast<unsigned char>(text[pos + i]);
    if ((b & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b & 0x3F);
  }
  // Overlong forms and surrogates are not text.
  static constexpr char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string js_escape(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size() * 3);
  size_t pos = 0;
  while (pos < utf8.size()) {
    char32_t cp = 0;
    const size_t len = decode_utf8(utf8, pos, cp);
    if (len == 0) {
      append_unit(out, static_cast<unsigned char>(utf8[pos]));
      ++pos;
      continue;
    }
    pos += len;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      append_unit(out, static_cast<char16_t>(0xD800 + (cp >> 10)));
      append_unit(out, static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      append_unit(out, static_cast<char16_t>(cp));
    }
  }
  return out;
}

std::string html_escape(std::string_view text) {
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

std::vector<std::string> split(std::string_view text, std::string_view separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (true) {
    const size_t at = text.find(separator, start);
    if (at == std::string_view::npos) {
      parts.emplace_back(text.substr(start));
      return parts;
    }
    parts.emplace_back(text.substr(start, at - start));
    start = at + separator.size();
  }
}

}  // namespace portal
