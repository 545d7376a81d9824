#include "core/menus/tip.h"

namespace tavlin::menus {

Tip::Tip(Portal portal, TipWindow window, shell::ProgramExit& exit, Shell& desktop, forms::LinkRouter& links,
         ListMenuActions& lists, ProgramMenuActions& program)
    : forms::Form("tip"),
      Pi(CreateHelpControls(*this), "Pi"),
      Label3(C("Label3")),
      cmdclose(C("cmdclose")),
      cmdnext(C("cmdnext")),
      portal_(std::move(portal)),
      mainWindow_(window),
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
    if (item.name == "green") item.checked = mainWindow_.skins.SkinInUse() == 0;
    if (item.name == "blue") item.checked = mainWindow_.skins.SkinInUse() == 1;
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
  const bool wasPinned = mainWindow_.front.Pinned();
  if (wasPinned) mainWindow_.front.HoldAbove(false);
  mainWindow_.front.ShowRestored();
  if (item == "help") {
    window.visible = true;
  } else {
    program_.ShowSettings();
  }
  if (wasPinned) mainWindow_.front.HoldAbove(true);
  if (item == "about") program_.SelectSettingsPage(0);
  if (item == "shezhi") program_.SelectSettingsPage(1);
}

bool Tip::ItemClick(const std::string& name) {
  struct ItemAction {
    const char* item;
    void (Tip::*action)();
  };
  static constexpr ItemAction kActions[] = {
      {"green", &Tip::UseBlueClassicSkin},
      {"blue", &Tip::UseGreyMoodSkin},
      {"qsoft", &Tip::QuitProgram},
      {"shezhi", &Tip::OpenSettings},
      {"about", &Tip::OpenAbout},
      {"help", &Tip::OpenHelp},
      {"shengji", &Tip::CheckForUpdate},
      {"guanf", &Tip::OpenPortalSite},
      {"kaiqi", &Tip::ArmShutdown},
      {"quxiao", &Tip::DisarmShutdown},
      {"ht", &Tip::PortalBack},
      {"qj", &Tip::PortalForward},
      {"sx", &Tip::PortalRefresh},
      {"fz", &Tip::PortalCopy},
      {"zt", &Tip::PortalPaste},
      {"zy", &Tip::PortalHome},
      {"c_f", &Tip::ReplayListEntry},
      {"c_shan", &Tip::DeleteListEntry},
      {"c_shan2", &Tip::DeleteDownloads},
      {"renwub", &Tip::ClearTaskList},
      {"wenjianb", &Tip::OpenDownloadFolder},
  };
  if (!FindItem(name)) return false;
  if (!loaded_) Form_Load();
  for (const ItemAction& a : kActions) {
    if (name == a.item) {
      (this->*a.action)();
      break;
    }
  }
  return true;
}

void Tip::UseBlueClassicSkin() { mainWindow_.skins.UseSkin(0); }
void Tip::UseGreyMoodSkin() { mainWindow_.skins.UseSkin(1); }
void Tip::QuitProgram() { exit_.ttt_v(); }
void Tip::OpenSettings() { ShowFromMenu("shezhi"); }
void Tip::OpenAbout() { ShowFromMenu("about"); }
void Tip::OpenHelp() { ShowFromMenu("help"); }
void Tip::CheckForUpdate() { program_.shengji(); }
void Tip::OpenPortalSite() { desktop_.OpenUrl(portal_.Home()); }
void Tip::ArmShutdown() { SetShutdownArmed(true); }
void Tip::DisarmShutdown() { SetShutdownArmed(false); }

void Tip::SetShutdownArmed(bool arm) {
  FindItem("kaiqi")->checked = arm;
  FindItem("quxiao")->checked = !arm;
  mainWindow_.shutdown.ShowArmed(arm);
}

void Tip::WithPortalView(void (BrowserView::*action)()) {
  if (BrowserView* web1 = links_.View("Web1")) (web1->*action)();
}

void Tip::PortalBack() { WithPortalView(&BrowserView::GoBack); }
void Tip::PortalForward() { WithPortalView(&BrowserView::GoForward); }
void Tip::PortalRefresh() { WithPortalView(&BrowserView::Refresh); }
void Tip::PortalCopy() { WithPortalView(&BrowserView::Copy); }
void Tip::PortalPaste() { WithPortalView(&BrowserView::Paste); }
void Tip::PortalHome() { links_.Navigate2("Web1", portal_.Home()); }
void Tip::ReplayListEntry() { lists_.CCC(); }
void Tip::DeleteListEntry() { lists_.ddd(); }
void Tip::DeleteDownloads() { lists_.eee(); }
void Tip::ClearTaskList() { lists_.qk_xl(); }
void Tip::OpenDownloadFolder() { lists_.qk_xw(); }

}  // namespace tavlin::menus
