#pragma once
// The menu form tip: every pop-up menu of the program as data, and the actions of
// their items. The Qt layer builds real menus from this data and reports the item
// clicked by its name.
#include <optional>
#include <string>
#include <vector>

#include "core/forms/control_router.h"
#include "core/forms/form.h"
#include "core/forms/link_router.h"
#include "core/base/endpoints.h"
#include "core/shell/seams.h"
#include "core/shell/window_parts.h"
#include "platform/shell.h"

namespace tavlin::menus {

struct MenuItem {
  std::string name;
  std::string caption;  // "-" for a separator
  bool checked = false;
  bool enabled = true;
};

struct Menu {
  std::string name;
  std::vector<MenuItem> items;
};

// What the items of the list menus (webc, c_fie) do; the list commands carry it out.
class ListMenuActions {
 public:
  virtual ~ListMenuActions() = default;
  virtual void CCC() = 0;    // replay the selected entry
  virtual void ddd() = 0;    // delete the selected entry
  virtual void eee() = 0;    // delete the selected task's downloaded files
  virtual void qk_xl() = 0;  // clear the network task list
  virtual void qk_xw() = 0;  // open the download folder
};

// What the items of the program menu (r_m) open; the program carries it out.
class ProgramMenuActions {
 public:
  virtual ~ProgramMenuActions() = default;
  virtual void ShowSettings() = 0;                // the settings dialog, modeless
  virtual void SelectSettingsPage(int page) = 0;  // its tab d_z: 0 about, 1 options
  virtual void shengji() = 0;                     // the manual update check
};

inline constexpr const char* kHelpCaption = "帮助提示";
inline constexpr int kHelpPages = 5;

// The parts of the main window the menus change.
struct TipWindow {
  shell::WindowFront& front;
  shell::SkinChoice& skins;
  shell::ShutdownButton& shutdown;
};

class Tip : public forms::Form {
 public:
  Tip(Portal portal, TipWindow window, shell::ProgramExit& exit, Shell& desktop, forms::LinkRouter& links,
      ListMenuActions& lists, ProgramMenuActions& program);

  std::vector<Menu> menus;
  // The help pager: pages Pi(0..4), the page number, its two buttons.
  forms::ControlArray Pi;
  forms::Control &Label3, &cmdclose, &cmdnext;
  forms::ControlRouter input;
  int PageCounter = 0;

  bool loaded() const { return loaded_; }
  // Loads the form when a menu or the help window needs it: page 0, no check marks.
  void Form_Load();
  void Unload();
  void cmdnext_Click();
  void cmdclose_Click() { Unload(); }

  const Menu* FindMenu(const std::string& name) const;
  // The menu as it is shown now: the skin in use checked, back and forward greyed
  // where the portal view has nowhere to go. None for an unknown name.
  std::optional<Menu> MenuAsShown(const std::string& name) const;
  MenuItem* FindItem(const std::string& name);
  // The item clicked, by its name; false when no menu has an item of that name.
  // Each item's action has its own name below.
  bool ItemClick(const std::string& name);

 private:
  // pifu: the two skins.
  void UseBlueClassicSkin();
  void UseGreyMoodSkin();
  // r_m: the program menu.
  void QuitProgram();
  void OpenSettings();
  void OpenAbout();
  void OpenHelp();
  void CheckForUpdate();
  void OpenPortalSite();
  // guan: shut the machine down after playback, or not.
  void ArmShutdown();
  void DisarmShutdown();
  void SetShutdownArmed(bool arm);
  // myMenu: the portal view's own menu.
  void WithPortalView(void (BrowserView::*action)());
  void PortalBack();
  void PortalForward();
  void PortalRefresh();
  void PortalCopy();
  void PortalPaste();
  void PortalHome();
  // webc, c_fie: the list menus.
  void ReplayListEntry();
  void DeleteListEntry();
  void DeleteDownloads();
  void ClearTaskList();
  void OpenDownloadFolder();

  // Brings the main window up around showing a window from the menu.
  void ShowFromMenu(const std::string& item);
  Portal portal_;
  TipWindow mainWindow_;
  shell::ProgramExit& exit_;
  Shell& desktop_;
  forms::LinkRouter& links_;
  ListMenuActions& lists_;
  ProgramMenuActions& program_;
  bool loaded_ = false;
};

// Adds the help window's controls to the form.
forms::Form& CreateHelpControls(forms::Form& form);

}  // namespace tavlin::menus
