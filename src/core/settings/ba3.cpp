#include "core/settings/ba3.h"

#include <filesystem>
#include <system_error>

#include "core/base/config.h"
#include "core/base/files.h"
#include "core/base/text.h"
#include "core/player/player_settings.h"
#include "core/services/process_control.h"
#include "core/settings/save_path_entry.h"
#include "core/shell/ba1_controls.h"

namespace tavlin::settings {

namespace {
constexpr forms::Rgb kWhite{255, 255, 255};
constexpr forms::Rgb kBlack{0, 0, 0};
constexpr forms::Rgb kHighlight{0, 120, 215};
const char* const kTabCaptions[] = {"关于软件", "软件设置", "缓存设置"};

std::string WithSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}
}  // namespace

std::string BA3::SettingsPath() const { return player::PlayerSettingsPath(folder_, QvodFolder); }

void BA3::Show() {
  if (!loaded_) Form_Load();
  window.visible = true;
}

void BA3::Form_Load() {
  loaded_ = true;
  IniPath = folder_.IniPath();
  // The line break lifts each tab's text to the upper part of its label.
  for (int i = 0; i < 3; ++i) d_z[i].caption = std::string(kTabCaptions[i]) + "\r\n";
  d_z_Click(0);
  for (const auto& option : kOptionKeys) Check1[option.check].checked = ToNumber(ReadIni(IniPath, option.key)) != 1;
  QvodFolder = ReadIni(IniPath, ini_keys::kQvodFolder);
  // The folder the player really uses, so that Apply without an edit changes nothing
  // even when the settings file is missing or names no folder.
  SavePath = player::ReadSavePath(SettingsPath(), defaultFolder_);
  Text1.caption = SavePath;
}

void BA3::Unload() {
  loaded_ = false;
  window.visible = false;
}

void BA3::d_z_Click(int index) {
  if (index < 0 || index > 2) return;
  for (int i = 0; i < 3; ++i) {
    d_z[i].back = i == index ? kHighlight : kWhite;
    d_z[i].fore = i == index ? kWhite : kBlack;
    p1[i].visible = i == index;
  }
  bb.caption = kTabCaptions[index];
}

void BA3::Command1_Click() {
  const std::optional<std::string> chosen = ports_.dialogs.BrowseFolder("请选择影片下载存放的文件夹", Text1.caption);
  // A cancelled browse keeps the folder shown.
  if (!chosen || chosen->empty()) return;
  Text1.caption = WithSlash(*chosen);
}

bool BA3::cmdApply_Click() {
  for (const auto& option : kOptionKeys) {
    if (!WriteIni(IniPath, option.key, Check1[option.check].checked ? "2" : "1")) ports_.failures.WriteFailed(IniPath);
  }
  if (Text1.caption == SavePath) return true;
  return ChangeFolder(Text1.caption);
}

bool BA3::ChangeFolder(std::string folder) {
  folder = Trim(folder);
  if (folder.empty() || folder.front() != '/') folder = defaultFolder_;
  folder = WithSlash(folder);
  // Refused before anything is stopped: the player keeps its working folder.
  if (const std::string problem = FolderProblem(folder); !problem.empty()) {
    ports_.dialogs.Inform("无法使用这个下载路径（" + problem + "）：\r\n" + folder + "\r\n请重新选择文件夹。",
                          "提示：");
    return false;
  }
  KillProcessesByName(ports_.processes, "QvodPlayer.exe");
  KillProcessesByName(ports_.processes, "QvodTerminal.exe");

  const std::string path = SettingsPath();
  const std::string text = ReadWholeFile(path).value_or("");
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
  if (!WriteFileAtomically(path, WithSavePath(text, folder))) {
    ports_.failures.WriteFailed(path);
    ports_.dialogs.Inform("下载路径未能保存：无法写入 " + path, "提示：");
    return false;
  }
  if (ports_.player) ports_.player->SetDownloadFolder(folder);
  if (QvodFolder != "0") StartQvodTerminal(ports_.processes, QvodFolder);
  SavePath = folder;
  Text1.caption = folder;
  ports_.dialogs.Inform(kFolderChangedText, shell::kDefaultTitle);
  return true;
}

void BA3::cmdOK_Click() {
  if (cmdApply_Click()) Unload();
}

}  // namespace tavlin::settings
