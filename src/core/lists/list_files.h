#pragma once
// The two lists the program remembers: date.dat (portal items, seven fields) and
// date_f.dat (local files, three fields). One record a line, fields joined by "|",
// CR LF line ends, newest on top. Nothing is cached: every call reads the file,
// changes it and replaces it atomically.
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/view_navigator.h"

namespace tavlin {

inline constexpr const char* kHistoryList = "date.dat";
inline constexpr const char* kLocalList = "date_f.dat";

// What one history record may hold, in bytes as stored. The texts come from a page's
// link and the list keeps 101 records, so these bound the file (under 100 KiB) and
// the page rendered from it. A longer title or episode label is cut, at a character
// and never inside a %-escape; an item whose address is longer is not recorded, as a
// cut address would play nothing.
inline constexpr size_t kMaxTitleBytes = 300;
inline constexpr size_t kMaxEpisodeBytes = 64;
inline constexpr size_t kMaxAddressBytes = 560;
// Id, source, index and position at their longest, with the separators.
inline constexpr size_t kMaxHistoryRecordBytes = kMaxTitleBytes + kMaxEpisodeBytes + kMaxAddressBytes + 4 * 11 + 6;

// The physical lines of a list file, as the list pages number them (from 1). A
// final line break ends the last line; it does not start an empty one.
std::vector<std::string> ReadListLines(std::string_view bytes);
// The text cut to at most maxBytes at a whole character and a whole %-escape: how a
// title or episode label of a page's link is bounded wherever the program keeps it.
std::string_view CutText(std::string_view text, size_t maxBytes);
// A text of a link made fit for one field of a record: "|" (which would split it)
// becomes its escape %7C, which the lists show as "|" again; a line break becomes a
// blank; at most maxBytes bytes are kept.
std::string RecordField(std::string_view text, size_t maxBytes);
// Whether a local file's path can be stored faithfully as a record: "|" would split
// it, a line break end it, and an address with "://" is no file of the disk.
bool FitsLocalList(std::string_view path);

// True when the line is a record at all.
inline bool IsRecord(std::string_view line) { return line.find('|') != std::string_view::npos; }

// The byte transformations behind the procedures below, on the file's content.
std::string AddHistoryRecord(std::string_view bytes, const std::string& record, int id);
std::string AddLocalRecord(std::string_view bytes, const std::string& record, const std::string& path);
std::string SaveHistoryPositionIn(std::string_view bytes, int id, int position);
std::string SaveLocalPositionIn(std::string_view bytes, const std::string& path, int position);
std::string DeleteLineIn(std::string_view bytes, int lineNumber);

// The path of the newest record of the local list; "" when it has none.
std::string NewestLocalPath(std::string_view bytes);

// The rendered page of a list: history (title shown) or local (name shown).
std::string BuildListPage(std::string_view listBytes, bool localList);

class ListStore {
 public:
  // views may be null: the pages are then written but no view is told.
  ListStore(std::string folder, ViewNavigator* views) : folder_(std::move(folder)), views_(views) {}

  // Each returns false when the list file is missing or could not be replaced (the
  // file is then left exactly as it was and no page is rendered), or when its page
  // could not be written. An address longer than kMaxAddressBytes is not recorded:
  // AddHistoryEntry then changes nothing and returns true.
  [[nodiscard]] bool AddHistoryEntry(int id, const std::string& title, const std::string& episode,
                                     const std::string& address, int source, int index, int position);
  [[nodiscard]] bool SaveHistoryPosition(int id, int position);
  [[nodiscard]] bool AddLocalEntry(const std::string& name, const std::string& path, int position);
  [[nodiscard]] bool SaveLocalPosition(const std::string& path, int position);
  [[nodiscard]] bool DeleteListLine(const std::string& listName, int lineNumber);
  // Writes c.htm (for "date.dat") or f.htm (any other list) and sends Web3 or Web4
  // there.
  [[nodiscard]] bool RenderListPage(const std::string& listName);

  std::string PathOf(const std::string& name) const { return folder_ + "/" + name; }

 private:
  bool Rewrite(const std::string& listName, const std::function<std::string(std::string_view)>& change, bool render);

  std::string folder_;
  ViewNavigator* views_;
};

}  // namespace tavlin
