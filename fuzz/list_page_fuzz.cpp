// Any bytes as a list file give a page whose every row holds exactly its two links,
// open://N and delk://N with the same N, and nothing of the file becomes markup.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/lists/list_files.h"

namespace {

// The href of every link tag, in order. Text and titles are HTML-escaped, so a "<"
// always opens a real tag and a ">" always closes one.
std::vector<std::string> Links(const std::string& page) {
  std::vector<std::string> hrefs;
  for (size_t at = page.find("<a "); at != std::string::npos; at = page.find("<a ", at + 1)) {
    const size_t end = page.find('>', at);
    if (end == std::string::npos) std::abort();
    const std::string tag = page.substr(at, end - at);
    // The href attribute itself, not the same letters inside a quoted title.
    size_t h = std::string::npos;
    bool quoted = false;
    for (size_t i = 0; i + 6 <= tag.size(); ++i) {
      if (tag[i] == '"') quoted = !quoted;
      if (!quoted && tag.compare(i, 6, " href=") == 0) {
        h = i;
        break;
      }
    }
    if (h == std::string::npos) std::abort();
    hrefs.push_back(tag.substr(h + 6, tag.find(' ', h + 6) - (h + 6)));
  }
  return hrefs;
}

void Check(const std::string& bytes, bool local) {
  static const std::string empty[2] = {tavlin::BuildListPage("", false), tavlin::BuildListPage("", true)};
  const std::string page = tavlin::BuildListPage(bytes, local);
  const std::vector<std::string> base = Links(empty[local ? 1 : 0]);
  const std::vector<std::string> links = Links(page);
  // The page's own links stay; each row adds open://N then delk://N, nothing else.
  size_t rows = 0;
  for (size_t i = 0; i < links.size();) {
    if (links[i].rfind("open://", 0) == 0) {
      if (i + 1 >= links.size() || links[i + 1] != "delk://" + links[i].substr(7)) std::abort();
      ++rows;
      i += 2;
    } else {
      ++i;
    }
  }
  if (links.size() - 2 * rows != base.size()) std::abort();
  if (rows > tavlin::ReadListLines(bytes).size()) std::abort();
  for (char c : page)
    if (c == '\0') std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  Check(bytes, false);
  Check(bytes, true);
  return 0;
}
