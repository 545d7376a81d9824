#pragma once
// The menu form tip: every pop-up menu of the program as data, and the actions of
// their items. The Qt layer builds real menus from this data and reports the item
// clicked by its name.
#include <functional>
#include <string>
#include <vector>

#include "core/forms/form.h"
#include "core/shell/ba1.h"

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

struct TipHooks {
  std::function<void(int page)> showSettings;  // page: 0 "关于软件", 1 "软件设置"
  std::function<void()> showHelp;
  std::function<void()> shengji;
  std::function<void(const std::string& item)> other;  // list and page menus
  std::function<void(const std::string& address)> openHomePage;
};

class Tip : public forms::Form {
 public:
  explicit Tip(shell::BA1& main);

  std::vector<Menu> menus;
  TipHooks hooks;

  const Menu* FindMenu(const std::string& name) const;
  MenuItem* FindItem(const std::string& name);
  // false when no menu has an item of that name.
  bool ItemClick(const std::string& name);

 private:
  void ShowFromMenu(const std::function<void()>& show);
  shell::BA1& main_;
};

}  // namespace tavlin::menus
