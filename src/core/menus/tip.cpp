#include "core/menus/tip.h"

#include "core/shell/skin_frames.h"

namespace tavlin::menus {

Tip::Tip(shell::BA1& main, shell::ProgramExit& exit, Shell& desktop, forms::LinkRouter& links,
         ListMenuActions& lists, ProgramMenuActions& program)
    : forms::Form("tip"),
      Pi(CreateHelpControls(*this), "Pi"),
      Label3(C("Label3")),
      cmdclose(C("cmdclose")),
      cmdnext(C("cmdnext")),
      main_(main),
      exit_(exit),
      desktop_(desktop),
      links_(links),
      lists_(lists),
      program_(program) {
  input.Route(cmdnext, [this](const forms::InputEvent& e) {
    if (e.kind == forms::InputEvent::Click) cmdnext_Click();
  });
  input.Route(cmdclose, [this](const forms::InputEvent& e) {
    if (e.kind == forms::InputEvent::Click) cmdclose_Click();
  });
  input.RouteForm([this](const forms::InputEvent& e) {
    if (e.kind == forms::InputEvent::CloseRequested) Unload();
  });
  menus = {
      {"myMenu",
       {{"ht", "后退"}, {"qj", "前进"}, {"sx", "刷新"}, {"sss", "-"}, {"fz", "复制"}, {"zt", "粘贴"}, {"zy", "主页"}}},
      {"r_m",
       {{"shezhi", "软件设置"},
        {"about", "关于我们"},
        {"guanf", "官方主页"},
        {"aa12", "-"},
        {"help", "帮助提示"},
        {"shengji", "升级检测"},
        {"aa122", "-"},
        {"qsoft", "退出软件"}}},
      {"guan", {{"kaiqi", "开启播放完自动关机"}, {"quxiao", "取消播放完自动关机"}}},
      {"pifu", {{"green", "蓝色经典"}, {"blue", "灰色心情"}}},
      {"webc", {{"c_f", "播放选定"}, {"c_shan", "删除任务"}, {"ttbn", "-"}, {"c_shan2", "删除下载"}}},
      {"c_fie", {{"renwub", "删除任务列表"}, {"wenjianb", "管理下载文件"}}},
  };
}

const Menu* Tip::FindMenu(const std::string& name) const {
  for (const auto& m : menus)
    if (m.name == name) return &m;
  return nullptr;
}

std::optional<Menu> Tip::MenuAsShown(const std::string& name) const {
  const Menu* found = FindMenu(name);
  if (!found) return std::nullopt;
  Menu menu = *found;
  const BrowserView* web1 = links_.View("Web1");
  for (MenuItem& item : menu.items) {
    if (item.name == "green") item.checked = main_.LoadedSkin == 0;
    if (item.name == "blue") item.checked = main_.LoadedSkin == 1;
    if (item.name == "ht") item.enabled = web1 && web1->CanGoBack();
    if (item.name == "qj") item.enabled = web1 && web1->CanGoForward();
  }
  return menu;
}

MenuItem* Tip::FindItem(const std::string& name) {
  for (auto& m : menus)
    for (auto& item : m.items)
      if (item.name == name && item.caption != "-") return &item;
  return nullptr;
}

void Tip::Form_Load() {
  loaded_ = true;
  PageCounter = 0;
  for (int i = 0; i < kHelpPages; ++i) Pi[i].visible = i == 0;
  Label3.caption = "1";
  for (const char* item : {"kaiqi", "quxiao"}) FindItem(item)->checked = false;
}

void Tip::Unload() {
  loaded_ = false;
  window.visible = false;
}

void Tip::cmdnext_Click() {
  for (int i = 0; i < kHelpPages; ++i) Pi[i].visible = false;
  if (PageCounter > kHelpPages - 2) PageCounter = -1;
  ++PageCounter;
  Pi[PageCounter].visible = true;
  Label3.caption = std::to_string(PageCounter + 1);
}

void Tip::ShowFromMenu(const std::string& item) {
  // A window opened from the menu must come up above a pinned main window.
  const bool wasPinned = main_.npc[4].tooltip == "取消置顶";
  if (wasPinned) main_.zhi_d(0);
  if (!main_.window.visible) main_.ShowWindow(true);
  main_.RestoreFromMinimized();
  if (item == "help") {
    window.visible = true;
  } else {
    program_.ShowSettings();
  }
  if (wasPinned) main_.zhi_d(1);
  if (item == "about") program_.SelectSettingsPage(0);
  if (item == "shezhi") program_.SelectSettingsPage(1);
}

bool Tip::ItemClick(const std::string& name) {
  MenuItem* item = FindItem(name);
  if (!item) return false;
  if (!loaded_) Form_Load();
  if (name == "green") {
    main_.p_p(0);
  } else if (name == "blue") {
    main_.p_p(1);
  } else if (name == "qsoft") {
    exit_.ttt_v();
  } else if (name == "shezhi" || name == "about" || name == "help") {
    ShowFromMenu(name);
  } else if (name == "shengji") {
    program_.shengji();
  } else if (name == "guanf") {
    desktop_.OpenUrl(main_.portal.Home());
  } else if (name == "kaiqi" || name == "quxiao") {
    const bool arm = name == "kaiqi";
    FindItem("kaiqi")->checked = arm;
    FindItem("quxiao")->checked = !arm;
    auto& button = main_.bo_but[6];
    button.tooltip = arm ? "已开启自动关机" : "计划关机";
    button.frame = *shell::BoButFrame(6, false, button.tooltip);
  } else if (name == "ht" || name == "qj" || name == "sx" || name == "fz" || name == "zt") {
    if (BrowserView* web1 = links_.View("Web1")) {
      if (name == "ht") web1->GoBack();
      if (name == "qj") web1->GoForward();
      if (name == "sx") web1->Refresh();
      if (name == "fz") web1->Copy();
      if (name == "zt") web1->Paste();
    }
  } else if (name == "c_f") {
    lists_.CCC();
  } else if (name == "c_shan") {
    lists_.ddd();
  } else if (name == "c_shan2") {
    lists_.eee();
  } else if (name == "renwub") {
    lists_.qk_xl();
  } else if (name == "wenjianb") {
    lists_.qk_xw();
  } else if (name == "zy") {
    main_.Navigate2("Web1", main_.portal.Home());
  }
  return true;
}

}  // namespace tavlin::menus
