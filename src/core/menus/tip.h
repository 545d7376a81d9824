#pragma once
// The menu form tip: every pop-up menu of the program as data, and the actions of
// their items. The Qt layer builds real menus from this data and reports the item
// clicked by its name.
#include <string>
#include <vector>

#include "core/forms/form.h"
#include "core/forms/link_router.h"
#include "core/shell/ba1.h"
#include "platform/shell.h"

namespace tavlin::menus {

struct MenuItem {
  std::string name;
  std::string caption;  // "-" for a separator
  bool checked = false;
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

class Tip : public forms::Form {
 public:
  Tip(shell::BA1& main, shell::ProgramExit& exit, Shell& desktop, forms::LinkRouter& links, ListMenuActions& lists);

  std::vector<Menu> menus;

  const Menu* FindMenu(const std::string& name) const;
  MenuItem* FindItem(const std::string& name);
  // false when no menu has an item of that name.
  bool ItemClick(const std::string& name);

 private:
  // Brings the main window up for a window opened from the menu.
  void ShowFromMenu();
  shell::BA1& main_;
  shell::ProgramExit& exit_;
  Shell& desktop_;
  forms::LinkRouter& links_;
  ListMenuActions& lists_;
};

}  // namespace tavlin::menus
