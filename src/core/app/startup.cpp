#include "core/app/startup.h"

#include <cstdlib>

#include "core/base/config.h"
#include "core/services/first_run.h"
#include "core/base/files.h"
#include "core/lists/delete_icon.h"
#include "core/lists/list_files.h"
#include "core/player/player_settings.h"

namespace tavlin {

StartupResult RunMain(const ProgramFolder& folder, StartupPorts& ports) {
  if (!ports.player.CanCreate()) {
    const Answer answer = ports.dialogs.AskYesNo(
        "程序检测到您的电脑未安装快播(Qvod)播放器，是否要下载Qvod播放器？", "提示：");
    if (answer == Answer::Yes) ports.shell.OpenUrl(kPlayerDownloadSite);
    return StartupResult::Quit;  // nothing on disk is touched
  }

  const std::string ini = folder.IniPath();
  if (!FileExists(ini)) CreateFirstRunConfig(ini, ports.machine);
  RepairConfig(ini, ports.machine);

  for (const char* list : {kHistoryList, kLocalList}) {
    if (!FileExists(folder.File(list))) WriteFileAtomically(folder.File(list), "\r\n");
  }

  ListStore lists(folder.dir, ports.views);
  if (!FileExists(folder.File("c.htm"))) lists.RenderListPage(kHistoryList);
  if (!FileExists(folder.File("f.htm"))) lists.RenderListPage(kLocalList);
  // The player's settings file, so that its settings dialog finds one.
  const char* home = std::getenv("HOME");
  player::WritePlayerSettingsIfMissing(folder.File(player::kPlayerSettingsFile),
                                       player::DefaultSavePath(home ? home : ""));
  // The pages show this icon beside every row.
  if (!FileExists(folder.File("i.gif"))) {
    WriteFileAtomically(folder.File("i.gif"),
                        std::string(reinterpret_cast<const char*>(kDeleteIconGif), kDeleteIconGifSize));
  }
  return StartupResult::ShowMainWindow;
}

}  // namespace tavlin
