#include "core/update/update_file.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

#include "core/base/text.h"

namespace tavlin::update {

std::optional<UpdateFile> ParseUpdateFile(std::string_view text) {
  if (text.empty() || text.size() > kMaxUpdateFileBytes || text.find("====") == std::string_view::npos)
    return std::nullopt;
  const std::vector<std::string> sections = Split(text, "====");
  UpdateFile file;
  std::optional<std::string>* slots[] = {&file.exitPage,   &file.noticeSwitch, &file.notices,
                                         &file.floatingAd, &file.playerAd,     &file.version};
  for (size_t i = 0; i < sections.size() && i < std::size(slots); ++i) *slots[i] = sections[i];
  return file;
}

std::vector<Notice> ParseNotices(std::string_view section) {
  std::vector<Notice> notices;
  if (section.find("****") == std::string_view::npos) return notices;
  for (const std::string& entry : Split(section, "@@@@@")) {
    if (notices.size() == kMaxNotices) break;
    const std::vector<std::string> parts = Split(entry, "****");
    notices.push_back({parts[0], parts.size() > 1 ? parts[1] : ""});
  }
  return notices;
}

bool SwitchOn(const std::optional<std::string>& section) { return section && ToNumber(*section) == 1; }

std::string CleanVersion(std::string_view text) { return ReplaceAll(text, "\r\n", ""); }

bool IsNonZeroNumber(std::string_view text) {
  const std::string trimmed = Trim(text);
  // strtod would skip any other white space (a vertical tab, a lone CR) itself.
  if (trimmed.empty() || std::isspace(static_cast<unsigned char>(trimmed[0]))) return false;
  char* end = nullptr;
  const double value = std::strtod(trimmed.c_str(), &end);
  return end == trimmed.c_str() + trimmed.size() && std::isfinite(value) && value != 0;
}

}  // namespace tavlin::update
