#include "core/player/player_settings.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "core/base/files.h"

namespace tavlin::player {
namespace {

std::string WithSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

std::string_view TrimAscii(std::string_view text) {
  constexpr std::string_view kSpace = " \t\r\n\v\f";
  const size_t first = text.find_first_not_of(kSpace);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kSpace) - first + 1);
}

}  // namespace

std::string PlayerSettingsPath(const ProgramFolder& folder, const std::string& qvodFolder) {
  if (!qvodFolder.empty() && qvodFolder[0] == '/') return WithSlash(qvodFolder) + "QvodPlayer.xml";
  return folder.File(kPlayerSettingsFile);
}

std::string DefaultSavePath(std::string_view home) {
  while (!home.empty() && home.back() == '/') home.remove_suffix(1);
  return std::string(home) + "/Media/";
}

std::string HomeSavePath() {
  const char* home = std::getenv("HOME");
  return DefaultSavePath(home ? home : "");
}

std::string DefaultPlayerSettings(const std::string& savePath) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
         "<QvodPlayer>\r\n<Setting Defaultsavepath=\"" +
         savePath + "\" />\r\n</QvodPlayer>\r\n";
}

std::string SavePathFrom(std::string_view xmlText, const std::string& fallback) {
  static constexpr std::string_view kMark = "Defaultsavepath=\"";
  const size_t mark = xmlText.find(kMark);
  if (mark == std::string_view::npos) return WithSlash(fallback);
  // The value must close on the line that opens it.
  const size_t lineEnd = std::min(xmlText.find('\n', mark), xmlText.size());
  const std::string_view line = xmlText.substr(mark, lineEnd - mark);
  const size_t close = line.find('"', kMark.size());
  if (close == std::string_view::npos) return WithSlash(fallback);
  std::string folder(TrimAscii(line.substr(kMark.size(), close - kMark.size())));
  std::replace(folder.begin(), folder.end(), '\\', '/');
  // No folder name holds control characters, and a NUL would cut the path short
  // where the system reads it.
  const bool control =
      std::any_of(folder.begin(), folder.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
  if (folder.empty() || folder.front() != '/' || control) return WithSlash(fallback);
  return WithSlash(std::move(folder));
}

std::string ReadSavePath(const std::string& path, const std::string& fallback) {
  const std::optional<std::string> text = ReadWholeFile(path);
  return text ? SavePathFrom(*text, fallback) : WithSlash(fallback);
}

bool WritePlayerSettingsIfMissing(const std::string& path, const std::string& savePath) {
  if (FileExists(path)) return true;
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
  return WriteFileAtomically(path, DefaultPlayerSettings(savePath));
}

}  // namespace tavlin::player
