#include "core/app/startup.h"

#include "core/base/config.h"
#include "core/services/first_run.h"
#include "core/base/files.h"
#include "core/instance/hand_off.h"
#include "core/lists/delete_icon.h"
#include "core/lists/list_files.h"
#include "core/player/player_settings.h"

namespace tavlin {

StartupResult RunMain(const ProgramFolder& folder, StartupPorts& ports, const std::string& commandLine) {
  if (!ports.player.CanCreate()) {
    const Answer answer =
        ports.dialogs.AskYesNo("程序检测到您的电脑未安装快播(Qvod)播放器，是否要下载Qvod播放器？", "提示：");
    if (answer == Answer::Yes) ports.shell.OpenUrl(kPlayerDownloadSite);
    return StartupResult::Quit;  // nothing on disk is touched
  }

  // A folder we cannot write to still shows the program; what could not be made is
  // logged here, and the main window reports the folder once it is up.
  auto check = [&](bool written, const std::string& path) {
    if (!written) ports.log.Write("cannot write " + path);
  };
  // What writes killed midway left behind goes first.
  RemoveStaleTemporaries(folder.dir);
  RemoveStaleTemporaries(folder.File("Qvod"));

  const std::string ini = folder.IniPath();
  if (!FileExists(ini)) check(CreateFirstRunConfig(ini, ports.machine), ini);
  check(RepairConfig(ini, ports.machine), ini);

  for (const char* list : {kHistoryList, kLocalList}) {
    if (!FileExists(folder.File(list))) check(WriteFileAtomically(folder.File(list), "\r\n"), folder.File(list));
  }

  ListStore lists(folder.dir, ports.views);
  if (!FileExists(folder.File("c.htm"))) check(lists.RenderListPage(kHistoryList), folder.File("c.htm"));
  if (!FileExists(folder.File("f.htm"))) check(lists.RenderListPage(kLocalList), folder.File("f.htm"));
  // The player's settings file, so that its settings dialog finds one.
  const std::string playerSettings = folder.File(player::kPlayerSettingsFile);
  check(player::WritePlayerSettingsIfMissing(playerSettings, player::HomeSavePath()), playerSettings);
  // The pages show this icon beside every row.
  if (!FileExists(folder.File("i.gif"))) {
    check(WriteFileAtomically(folder.File("i.gif"),
                              std::string(reinterpret_cast<const char*>(kDeleteIconGif), kDeleteIconGifSize)),
          folder.File("i.gif"));
  }
  if (ports.instance &&
      instance::HandOverToRunningInstance(*ports.instance, commandLine, ports.log, ports.activation)) {
    return StartupResult::HandedOver;
  }
  return StartupResult::ShowMainWindow;
}

}  // namespace tavlin
