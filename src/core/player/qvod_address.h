#pragma once
// Addresses the stand-in accepts as Url, and the qvod:// form it downloads.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tavlin::player {

// "qvod://size|hash|name|": the item of `size` bytes is fetched from the seed by its
// hash and stored in the download folder as `name`.
struct QvodAddress {
  std::int64_t size = 0;
  std::string hash;
  std::string name;
};

// Nothing when the text is not a well-formed qvod address. The hash must be plain
// letters and digits (it becomes part of a request path) and the name a bare file
// name that is not hidden (no folder parts, no leading "."), so a page can name
// neither a place outside the download folder nor a dot-file inside it. The name
// given back is the page's made honest (HonestFileName).
std::optional<QvodAddress> ParseQvodAddress(const std::string& text);

// A file name as a browser would save it: control and format characters (Unicode
// Cc and Cf: bidirectional overrides, zero-width characters...) and line and
// paragraph separators become "_", so a name cannot show as something it is not
// ("holiday\u202e4pm.sh" as "holidayhs.mp4"); blanks and dots at either end go.
// Malformed UTF-8 becomes U+FFFD. "" when nothing is left.
std::string HonestFileName(std::string_view name);

enum class SourceKind { kRejected, kLocalFile, kHttpStream, kQvod };

// Local file paths, http(s) addresses and qvod:// addresses are accepted; every
// other scheme mpv would understand (appending://, edl://, av://, file://...) is
// refused, since page links reach Url.
SourceKind ClassifySource(const std::string& url);

}  // namespace tavlin::player
