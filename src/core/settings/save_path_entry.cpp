#include "core/settings/save_path_entry.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "core/base/files.h"
#include "core/base/text.h"
#include "core/player/player_settings.h"

namespace tavlin::settings {

namespace {
constexpr std::string_view kMark = "Defaultsavepath=\"";
}

std::optional<std::string> RawSavePathEntry(std::string_view xml) {
  const size_t mark = xml.find(kMark);
  if (mark == std::string_view::npos) return std::nullopt;
  const size_t start = mark + kMark.size();
  const size_t close = xml.find('"', start);
  const size_t lineEnd = xml.find('\n', start);
  if (close == std::string_view::npos || close > lineEnd) return std::nullopt;
  return std::string(xml.substr(start, close - start));
}

std::string WithSavePath(std::string_view xml, const std::string& folder) {
  if (const auto raw = RawSavePathEntry(xml)) {
    const std::string entry = std::string(kMark) + *raw + "\"";
    return ReplaceAll(std::string(xml), entry, std::string(kMark) + folder + "\"");
  }
  if (const size_t mark = xml.find(kMark); mark != std::string_view::npos) {
    // An entry left open on its line is the one the player reads: it is mended.
    const size_t lineEnd = std::min(xml.find('\n', mark), xml.size());
    size_t cut = lineEnd;
    if (cut > mark && xml[cut - 1] == '\r') --cut;
    return std::string(xml.substr(0, mark)) + std::string(kMark) + folder + "\"" + std::string(xml.substr(cut));
  }
  if (xml.find_first_not_of(" \t\r\n") == std::string_view::npos) return player::DefaultPlayerSettings(folder);
  const std::string line = "<Setting Defaultsavepath=\"" + folder + "\" />\r\n";
  std::string text(xml);
  const size_t root = text.rfind("</QvodPlayer>");
  if (root == std::string::npos) {
    if (text.back() != '\n') text += "\r\n";
    return text + line;
  }
  return text.insert(root, line);
}

std::string FolderProblem(const std::string& folder) {
  if (folder.empty() || folder.front() != '/') return "不是完整的文件夹路径";
  // The entry is read back as the text between two quotes, up to the line's end.
  const bool unfit = std::any_of(folder.begin(), folder.end(),
                                 [](char c) { return c == '"' || static_cast<unsigned char>(c) < 0x20; });
  if (unfit) return "文件夹名含有不能保存的字符";
  std::error_code ec;
  if (!std::filesystem::is_directory(folder, ec)) return "文件夹不存在";
  if (!CanWriteIn(folder)) return "文件夹不可写入";
  return "";
}

}  // namespace tavlin::settings
