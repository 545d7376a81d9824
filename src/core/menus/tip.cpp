#include "core/menus/tip.h"

#include "core/shell/skin_frames.h"

namespace tavlin::menus {

Tip::Tip(shell::BA1& main, shell::ProgramExit& exit, Shell& desktop, forms::LinkRouter& links,
         ListMenuActions& lists)
    : forms::Form("tip"), main_(main), exit_(exit), desktop_(desktop), links_(links), lists_(lists) {
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

MenuItem* Tip::FindItem(const std::string& name) {
  for (auto& m : menus)
    for (auto& item : m.items)
      if (item.name == name && item.caption != "-") return &item;
  return nullptr;
}

void Tip::ShowFromMenu() {
  // A window opened from the menu must come up above a pinned main window.
  const bool wasPinned = main_.npc[4].tooltip == "取消置顶";
  if (wasPinned) main_.zhi_d(0);
  if (!main_.window.visible) main_.ShowWindow(true);
  main_.RestoreFromMinimized();
  if (wasPinned) main_.zhi_d(1);
}

bool Tip::ItemClick(const std::string& name) {
  MenuItem* item = FindItem(name);
  if (!item) return false;
  if (name == "green") {
    main_.p_p(0);
  } else if (name == "blue") {
    main_.p_p(1);
  } else if (name == "qsoft") {
    exit_.ttt_v();
  } else if (name == "shezhi" || name == "about" || name == "help") {
    ShowFromMenu();
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
