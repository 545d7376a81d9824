// The tray icon and the menu form tip.
#include <gtest/gtest.h>

#include "core/menus/tip.h"
#include "core/shell/tray_icon.h"
#include "support/program_fixture.h"

namespace tavlin {
namespace {

using testing::MainWindowFixture;

TEST(TrayIcon, LeftClickRestoresThenTogglesVisibility) {
  MainWindowFixture fx;
  auto& f = fx.Load();
  auto& icon = f.trayIcon;
  f.npc_Click(0);
  icon.OnClick(1);
  EXPECT_FALSE(f.Minimized());
  EXPECT_TRUE(f.window.visible);
  icon.OnClick(1);
  EXPECT_FALSE(f.window.visible);
  icon.OnClick(1);
  EXPECT_TRUE(f.window.visible);
  icon.OnClick(2);
  EXPECT_EQ(fx.menus.popups.back(), "r_m@pointer");
}

TEST(TrayIcon, BalloonsCarryTheTitleAndAreCutAt256Characters) {
  MainWindowFixture fx;
  auto& f = fx.Load();
  auto& icon = f.trayIcon;
  EXPECT_EQ(fx.tray.events.front(), "add:Tavlin 3.0");
  icon.ShowTrayBalloon("读取数据出错，请返回重试！");
  EXPECT_EQ(fx.tray.events.back(), "balloon:Tavlin提示:|读取数据出错，请返回重试！");
  std::string longText;
  for (int i = 0; i < 300; ++i) longText += "长";
  icon.ShowTrayBalloon(longText);
  ASSERT_EQ(fx.tray.balloons.size(), 2u);
  EXPECT_EQ(fx.tray.balloons[1].size(), 256u * 3);
  icon.RemoveTrayIcon();
  icon.ShowTrayBalloon("x");  // no icon: nothing shown
  EXPECT_EQ(fx.tray.events.back(), "remove");
}

TEST(TrayIcon, TheSameTextWhileItsBalloonIsUpIsThatBalloon) {
  MainWindowFixture fx;
  auto& icon = fx.Load().trayIcon;
  const char* failed = "读取数据出错，请返回重试！";
  const char* next = "开始缓冲下一集！";
  icon.ShowTrayBalloon(failed);
  fx.clock.Advance(4000);
  icon.ShowTrayBalloon(failed);
  icon.ShowTrayBalloon(next);    // another text shows at once
  icon.ShowTrayBalloon(failed);  // and so does the first again after it
  fx.clock.Advance(9000);
  icon.ShowTrayBalloon(failed);
  fx.clock.Advance(1000);
  icon.ShowTrayBalloon(failed);  // gone by now: shown anew
  EXPECT_EQ(fx.tray.balloons, (std::vector<std::string>{failed, next, failed, failed}));
}

TEST(Tip, MenusHoldTheItemsInOrder) {
  MainWindowFixture fx;
  auto& f = fx.Load();
  (void)f;
  menus::Tip& tip = fx.program->tip();
  auto captions = [&](const char* menu) {
    std::vector<std::string> out;
    for (const auto& i : tip.FindMenu(menu)->items) out.push_back(i.caption);
    return out;
  };
  EXPECT_EQ(captions("pifu"), (std::vector<std::string>{"蓝色经典", "灰色心情"}));
  EXPECT_EQ(captions("r_m"), (std::vector<std::string>{"软件设置", "关于我们", "官方主页", "-", "帮助提示", "升级检测",
                                                       "-", "退出软件"}));
  EXPECT_FALSE(tip.ItemClick("aa12"));  // separators are not items
  EXPECT_FALSE(tip.ItemClick("nothing"));
}

TEST(Tip, MenusShowTheSkinInUseAndOnlyTheWaysThePortalViewCanGo) {
  MainWindowFixture fx;
  fx.Load();
  menus::Tip& tip = fx.program->tip();
  auto shown = [&](const char* menu) {
    std::string out;
    const std::optional<menus::Menu> asShown = tip.MenuAsShown(menu);
    for (const auto& item : asShown->items) {
      if (item.caption == "-") continue;
      out += item.caption + (item.checked ? "✓" : "") + (item.enabled ? "" : "(off)") + " ";
    }
    return out;
  };
  EXPECT_EQ(shown("pifu"), "蓝色经典✓ 灰色心情 ");
  tip.ItemClick("blue");
  EXPECT_EQ(shown("pifu"), "蓝色经典 灰色心情✓ ");
  EXPECT_EQ(shown("myMenu"), "后退(off) 前进(off) 刷新 复制 粘贴 主页 ");
  fx.views["Web1"].canGoBack = true;
  EXPECT_EQ(shown("myMenu"), "后退 前进(off) 刷新 复制 粘贴 主页 ");
  fx.views["Web1"].canGoForward = true;
  fx.views["Web1"].canGoBack = false;
  EXPECT_EQ(shown("myMenu"), "后退(off) 前进 刷新 复制 粘贴 主页 ");
  EXPECT_FALSE(tip.MenuAsShown("nothing"));
}

TEST(Tip, ItemsCallTheMainWindow) {
  MainWindowFixture fx;
  auto& f = fx.Load();
  menus::Tip& tip = fx.program->tip();
  EXPECT_TRUE(tip.ItemClick("blue"));
  EXPECT_EQ(fx.Ini("Skin", "Num"), "1");
  tip.ItemClick("green");
  EXPECT_EQ(fx.Ini("Skin", "Num"), "0");

  f.npc_Click(4);  // pinned
  f.ShowWindow(false);
  // A window opened from the menu comes up with the main window shown, pinned again.
  tip.ItemClick("about");
  EXPECT_EQ(fx.host.topmostCalls, 3);
  EXPECT_TRUE(f.window.visible);
  EXPECT_TRUE(f.window.topmost);

  tip.ItemClick("kaiqi");
  EXPECT_EQ(f.C("bo_but", 6).tooltip, "已开启自动关机");
  EXPECT_EQ(f.C("bo_but", 6).frame.strip, 17);
  EXPECT_TRUE(tip.FindItem("kaiqi")->checked);
  tip.ItemClick("quxiao");
  EXPECT_EQ(f.C("bo_but", 6).tooltip, "计划关机");
  EXPECT_FALSE(tip.FindItem("kaiqi")->checked);

  tip.ItemClick("ht");
  tip.ItemClick("zt");
  EXPECT_EQ(fx.views["Web1"].calls, (std::vector<std::string>{"back", "paste"}));
  tip.ItemClick("guanf");
  EXPECT_EQ(fx.shell.opened, std::vector<std::string>{"http://127.0.0.1:9/soft/"});
  tip.ItemClick("qsoft");
  EXPECT_EQ(fx.application.quits, 1);
}

}  // namespace
}  // namespace tavlin
