#pragma once
// The settings dialog BA3: the eight on/off options of config.ini and the folder the
// player downloads into, on three pages chosen by tabs.
#include <string>

#include "core/base/config.h"
#include "core/base/program_folder.h"
#include "core/base/write_failures.h"
#include "core/forms/control_router.h"
#include "core/forms/form.h"
#include "platform/dialogs.h"
#include "platform/player_control.h"
#include "platform/processes.h"

namespace tavlin::settings {

inline constexpr const char* kSettingsCaption = "软件设置";
inline constexpr const char* kFolderChangedText = "接受路径修改成功，可能部分电脑需要重启才能生效！";

struct Ba3Ports {
  Dialogs& dialogs;
  Processes& processes;
  PlayerControl* player;  // none when no player could be made
  WriteFailures& failures;
};

// Check box index and the config.ini key it shows, in the order Apply writes them.
struct OptionKey {
  int check;
  IniKey key;
};
inline constexpr OptionKey kOptionKeys[] = {{5, ini_keys::kCloseAction}, {6, ini_keys::kCloseQvod},
                                            {0, ini_keys::kSaveSize},    {1, ini_keys::kPrefetchNext},
                                            {2, ini_keys::kPlayNext},    {3, ini_keys::kRecordPosition},
                                            {7, ini_keys::kQvodAtStart}, {8, ini_keys::kBalloons}};

class BA3 : public forms::Form {
 public:
  // defaultFolder: the download folder when the player's settings name none.
  BA3(ProgramFolder folder, std::string defaultFolder, Ba3Ports ports);

  forms::ControlArray d_z, p1, Check1;
  forms::Control &bb, &Text1, &Command1, &cmdOK, &cmdCancel, &cmdApply;
  forms::ControlRouter input;

  // --- the dialog's state (names as the program keeps them) ---
  std::string IniPath;
  std::string QvodFolder = "0";
  std::string SavePath;  // the folder the player uses, as read at load

  bool loaded() const { return loaded_; }
  // Loads the dialog when it is not, and shows it.
  void Show();
  void Form_Load();
  void Unload();

  void d_z_Click(int index);
  void Command1_Click();
  // False when the folder was refused (the dialog then stays open).
  bool cmdApply_Click();
  void cmdOK_Click();
  void cmdCancel_Click() { Unload(); }
  // The user edited the folder box.
  void Text1_Change(const std::string& text) { Text1.caption = text; }

 private:
  bool ChangeFolder(std::string folder);
  std::string SettingsPath() const;
  ProgramFolder folder_;
  std::string defaultFolder_;
  Ba3Ports ports_;
  bool loaded_ = false;
};

}  // namespace tavlin::settings
