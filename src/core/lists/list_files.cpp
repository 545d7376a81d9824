#include "core/lists/list_files.h"

#include "core/base/files.h"
#include "core/base/text.h"
#include "core/base/utf.h"

namespace tavlin {
namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr size_t kOldLinesKept = 100;

// A line break inside a field would split the record into two lines.
std::string OneLine(const std::string& field) {
  std::string out = field;
  for (char& c : out) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return out;
}

// Where to cut text to at most maxBytes without splitting a character or an escape
// ("%XX", "%uXXXX"), so the cut title still reads as text and not as a stray "%u4E".
size_t CutPoint(std::string_view text, size_t maxBytes) {
  if (text.size() <= maxBytes) return text.size();
  size_t cut = Utf8Boundary(text, maxBytes);
  const size_t from = cut >= 5 ? cut - 5 : 0;
  for (size_t p = cut; p-- > from;) {
    if (text[p] != '%') continue;
    const size_t length = p + 1 < text.size() && text[p + 1] == 'u' ? 6 : 3;
    if (p + length > cut) cut = p;
    break;
  }
  return cut;
}

bool IdMatches(const std::string& field, int id) {
  int value = 0;
  return ParseNumber(field, value) && value == id;
}

std::string Field(const std::vector<std::string>& fields, size_t i) {
  return i < fields.size() ? fields[i] : std::string();
}

void DropTrailingCrLf(std::string& text) {
  if (text.size() >= 2 && text.compare(text.size() - 2, 2, kCrLf) == 0) text.resize(text.size() - 2);
}

template <typename IsSameKey>
std::string AddRecord(std::string_view bytes, const std::string& record, IsSameKey sameKey,
                      size_t longestLine = std::string::npos) {
  std::string kept;
  const std::vector<std::string> lines = ReadListLines(bytes);
  for (size_t i = 0; i < lines.size() && i < kOldLinesKept; ++i) {
    if (!IsRecord(lines[i])) continue;
    // Longer than any record the program writes: left by a page before records were
    // bounded, and dropped here so the list shrinks back.
    if (lines[i].size() > longestLine) continue;
    if (sameKey(Split(lines[i], "|"))) continue;
    kept += lines[i];
    kept += kCrLf;
  }
  DropTrailingCrLf(kept);
  return record + std::string(kCrLf) + kept + std::string(kCrLf);
}

template <typename Rebuild>
std::string SavePosition(std::string_view bytes, Rebuild rebuild) {
  std::string kept;
  for (const std::string& line : ReadListLines(bytes)) {
    if (!IsRecord(line)) continue;
    kept += rebuild(line);
    kept += kCrLf;
  }
  DropTrailingCrLf(kept);
  return kept + std::string(kCrLf);
}

}  // namespace

std::string NewestLocalPath(std::string_view bytes) {
  for (const std::string& line : ReadListLines(bytes)) {
    if (!IsRecord(line)) continue;
    const std::vector<std::string> fields = Split(line, "|");
    return fields.size() > 1 ? fields[1] : "";
  }
  return "";
}

std::vector<std::string> ReadListLines(std::string_view bytes) {
  std::vector<std::string> lines;
  size_t i = 0;
  while (i < bytes.size()) {
    const size_t start = i;
    while (i < bytes.size() && bytes[i] != '\r' && bytes[i] != '\n') ++i;
    lines.emplace_back(bytes.substr(start, i - start));
    if (i < bytes.size() && bytes[i] == '\r') ++i;
    if (i < bytes.size() && bytes[i] == '\n') ++i;
  }
  return lines;
}

std::string AddHistoryRecord(std::string_view bytes, const std::string& record, int id) {
  return AddRecord(
      bytes, record, [id](const std::vector<std::string>& f) { return IdMatches(f[0], id); }, kMaxHistoryRecordBytes);
}

std::string AddLocalRecord(std::string_view bytes, const std::string& record, const std::string& path) {
  return AddRecord(bytes, record, [&path](const std::vector<std::string>& f) { return Field(f, 1) == path; });
}

std::string SaveHistoryPositionIn(std::string_view bytes, int id, int position) {
  return SavePosition(bytes, [&](const std::string& line) {
    const std::vector<std::string> f = Split(line, "|");
    if (!IdMatches(f[0], id)) return line;
    std::string out;
    for (size_t i = 0; i < 6; ++i) out += Field(f, i) + "|";
    return out + std::to_string(position);
  });
}

std::string SaveLocalPositionIn(std::string_view bytes, const std::string& path, int position) {
  return SavePosition(bytes, [&](const std::string& line) {
    const std::vector<std::string> f = Split(line, "|");
    if (Field(f, 1) != path) return line;
    return Field(f, 0) + "|" + Field(f, 1) + "|" + std::to_string(position);
  });
}

std::string DeleteLineIn(std::string_view bytes, int lineNumber) {
  std::string kept;
  const std::vector<std::string> lines = ReadListLines(bytes);
  for (size_t i = 0; i < lines.size(); ++i) {
    if (static_cast<long long>(i) + 1 == lineNumber) continue;
    kept += lines[i];
    kept += kCrLf;
  }
  DropTrailingCrLf(kept);
  DropTrailingCrLf(kept);
  return kept + std::string(kCrLf);
}

std::string_view CutText(std::string_view text, size_t maxBytes) { return text.substr(0, CutPoint(text, maxBytes)); }

std::string RecordField(std::string_view text, size_t maxBytes) {
  std::string out;
  for (char c : CutText(text, maxBytes)) {
    if (c == '|') {
      out += "%7C";
    } else {
      out += c == '\r' || c == '\n' ? ' ' : c;
    }
  }
  // The escapes made the field longer: cut again, on what is stored now.
  out.resize(CutPoint(out, maxBytes));
  return out;
}

bool FitsLocalList(std::string_view path) {
  return !path.empty() && path.find_first_of("|\r\n") == std::string_view::npos &&
         path.find("://") == std::string_view::npos;
}

bool ListStore::Rewrite(const std::string& listName, const std::function<std::string(std::string_view)>& change,
                        bool render) {
  const auto bytes = ReadWholeFile(PathOf(listName));
  if (!bytes) return false;
  if (!WriteFileAtomically(PathOf(listName), change(*bytes))) return false;
  return !render || RenderListPage(listName);
}

bool ListStore::AddHistoryEntry(int id, const std::string& title, const std::string& episode,
                                const std::string& address, int source, int index, int position) {
  const std::string storedAddress = RecordField(address, std::string::npos);
  if (storedAddress.size() > kMaxAddressBytes) return true;
  const std::string record = std::to_string(id) + "|" + RecordField(title, kMaxTitleBytes) + "|" +
                             RecordField(episode, kMaxEpisodeBytes) + "|" + storedAddress + "|" +
                             std::to_string(source) + "|" + std::to_string(index) + "|" + std::to_string(position);
  return Rewrite(
      kHistoryList, [&](std::string_view b) { return AddHistoryRecord(b, record, id); }, true);
}

bool ListStore::SaveHistoryPosition(int id, int position) {
  return Rewrite(
      kHistoryList, [&](std::string_view b) { return SaveHistoryPositionIn(b, id, position); }, false);
}

bool ListStore::AddLocalEntry(const std::string& name, const std::string& path, int position) {
  const std::string record =
      RecordField(name, std::string::npos) + "|" + OneLine(path) + "|" + std::to_string(position);
  return Rewrite(
      kLocalList, [&](std::string_view b) { return AddLocalRecord(b, record, path); }, true);
}

bool ListStore::SaveLocalPosition(const std::string& path, int position) {
  return Rewrite(
      kLocalList, [&](std::string_view b) { return SaveLocalPositionIn(b, path, position); }, false);
}

bool ListStore::DeleteListLine(const std::string& listName, int lineNumber) {
  // The name picks one of the two lists; nothing else in the folder is a list.
  if (listName != kHistoryList && listName != kLocalList) return false;
  return Rewrite(
      listName, [&](std::string_view b) { return DeleteLineIn(b, lineNumber); }, true);
}

}  // namespace tavlin
