#pragma once
// lib/wen.txt, the portal's update file: sections separated by "====" carrying the
// exit page, the notice switch and notices, the two ad switches and the latest
// version.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavlin::update {

// Longer answers are not an update file (the client cuts at its cap).
inline constexpr std::size_t kMaxUpdateFileBytes = 64 * 1024;
inline constexpr int kMaxNotices = 4;

struct Notice {
  std::string caption;
  std::string link;  // empty when the entry holds no "****"
};

struct UpdateFile {
  // Sections 0 to 5 as given; a missing one stays unset.
  std::optional<std::string> exitPage, noticeSwitch, notices, floatingAd, playerAd, version;
};

// Nothing when the text is empty, too long or holds no "====".
std::optional<UpdateFile> ParseUpdateFile(std::string_view text);
// Section 2's notices, the first four entries at most; none when the section holds
// no "****" at all.
std::vector<Notice> ParseNotices(std::string_view section);
// Sections 1, 3 and 4: on when the text reads as the number 1.
bool SwitchOn(const std::optional<std::string>& section);
// The version without line breaks.
std::string CleanVersion(std::string_view text);
// A version worth asking about: a number, and not zero.
bool IsNonZeroNumber(std::string_view text);

}  // namespace tavlin::update
