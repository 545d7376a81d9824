#pragma once
// The commands of the two list pages: open:// n replays entry n and delk:// n
// deletes it, in the list whose tab is current (the caption of qk says which); the
// menu on a list entry (webc) with the deletion of a task's downloaded files; and
// the label qk, which clears a list or opens the download folder.
#include <optional>
#include <string>
#include <vector>

#include "core/forms/control_router.h"
#include "core/forms/link_router.h"
#include "core/lists/list_files.h"
#include "core/menus/tip.h"
#include "core/player/player.h"
#include "core/base/endpoints.h"
#include "core/base/program_folder.h"
#include "core/base/write_failures.h"
#include "core/shell/tray_icon.h"
#include "core/shell/window_parts.h"
#include "core/state/program_state.h"
#include "platform/dialogs.h"
#include "platform/processes.h"
#include "platform/shell.h"

namespace tavlin::list_commands {

struct ListCommandPorts {
  Processes& processes;
  Shell& desktop;  // the file manager for the download folder
  Dialogs& dialogs;
  MenuHost& menus;  // the list menus
};

// What the list commands change on the window.
struct ListCommandsWindow {
  shell::ViewSwitch& views;
  shell::PlayerTitle& title;
  shell::ListLabel& label;
  shell::WindowFront& front;
  shell::TrayIcon& tray;
  WriteFailures& writeFailures;
};

class ListCommands final : public forms::LinkHandler, public menus::ListMenuActions, public forms::PageObserver {
 public:
  ListCommands(ProgramFolder folder, Portal portal, ListCommandsWindow window, state::ProgramState& state,
               player::Player& player, forms::LinkRouter& views, ListCommandPorts ports);

  void RouteLinks(forms::LinkRouter& router);
  void RouteInput(forms::ControlRouter& router);

  // LinkHandler: the list commands; the views' own navigations pass by.
  void BeforeNavigate(const std::string& view, const std::string& address, bool& cancel) override;
  using forms::PageObserver::BeforeNavigate;

  // menus::ListMenuActions
  void CCC() override;
  void ddd() override;
  void eee() override;
  void qk_xl() override;
  void qk_xw() override;

  void qk_Click();

  // The folder the player saves downloads in ("/" at its end), and whether the
  // player's settings file naming it exists.
  struct DownloadFolder {
    std::string path;
    bool fromSettings = false;
  };
  DownloadFolder FindDownloadFolder();

  // BrowserEvents: the right click on a list entry.
  void ContextMenu(const std::string& view, const std::string& activeHref, const std::string& origin, int x,
                   int y) override;

 private:
  const char* CurrentList() const;
  void Delete(const std::string& address);
  void Open(const std::string& address);
  void OpenLocal(const std::vector<std::string>& fields);
  void OpenNetwork(const std::vector<std::string>& fields);
  void RefreshSidePanel();
  void ClearList(const char* list);
  void WriteFailed(const std::string& path);

  ProgramFolder folder_;
  Portal portal_;
  ListCommandsWindow window_;
  state::ProgramState& state_;
  player::Player& player_;
  forms::LinkRouter& views_;
  ListCommandPorts ports_;
  ListStore lists_;
};

// The number of the entry a list link names ("open://3", "open://3/"), nothing
// when it names none.
std::optional<int> EntryNumber(const std::string& link, const std::string& mark);

// The beginning the downloaded files of a task share, from the file name its qvod
// address carries ("size|hash|name|"): the name without its extension, cut to its
// first half when that half is three characters or more. Empty when the address
// names no file.
std::u32string DownloadPrefix(const std::string& address);
// The names in `names` that begin with the task's prefix.
std::vector<std::string> DownloadedFilesOf(const std::string& address, const std::vector<std::string>& names);

}  // namespace tavlin::list_commands
