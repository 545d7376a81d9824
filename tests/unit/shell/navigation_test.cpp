// The navigation bar: view switching, list tabs, close question, compact mode,
// hover feedback, and the start-up of the main window.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "core/shell/ba1.h"
#include "support/program_fixture.h"

namespace tavlin {
namespace {

using testing::MainWindowFixture;

TEST(Load, SendsEveryViewToItsFirstPageAndInstallsTheTray) {
  MainWindowFixture fx;
  fx.SetIni("user", "Name", "00-1A-2B");
  auto& f = fx.Load();
  const std::string base = "http://127.0.0.1:9/soft/";
  const std::map<std::string, std::string> first = {
      {"Web1", base},
      {"Web2", "about:blank"},
      {"Web3", fx.dir.File("c.htm")},
      {"Web4", fx.dir.File("f.htm")},
      {"Web5", fx.dir.File("c.htm")},
      {"Weby", base + "js/ads/softad.html"},
      {"Web6", base + "tj/tj.asp?id=00-1A-2B"},
      {"Web9", "about:blank"},
      {"Web7", base + "js/ads/qvodad.html"},
  };
  for (const auto& [view, address] : first) {
    ASSERT_FALSE(fx.views[view].navigations.empty()) << view;
    EXPECT_EQ(fx.views[view].navigations.front(), address) << view;
  }
  EXPECT_EQ(fx.tray.events.front(), "add:Tavlin 3.0");
  EXPECT_EQ(f.CurrentView, 8);
  EXPECT_FALSE(f.C("npc", 8).enabled);
  EXPECT_EQ(f.C("npc", 8).frame, (forms::Frame{7, 80, 0, 80, 32}));
}

TEST(Load, SavedSizeAndSkinNumber) {
  struct Case {
    const char* sSize;
    const char* skin;
    int w, h, loadedSkin;
  };
  for (const Case& c : {Case{"2", "1", 1200, 700, 1}, Case{"1", "4", 1000, 640, 0}, Case{"2", "3", 1200, 700, 0}}) {
    MainWindowFixture fx;
    fx.SetIni("S_q", "s_size", c.sSize);
    fx.SetIni("S_q", "h_w", "18000");
    fx.SetIni("S_q", "h_h", "10500");
    fx.SetIni("Skin", "Num", c.skin);
    auto& f = fx.Load();
    EXPECT_EQ(f.window.w, c.w) << c.sSize << "/" << c.skin;
    EXPECT_EQ(f.window.h, c.h);
    EXPECT_EQ(f.LoadedSkin, c.loadedSkin);
    EXPECT_EQ(fx.Ini("Skin", "Num"), c.skin);  // the load never writes the skin back
    EXPECT_EQ(f.SkinApplied, 1);
  }
}

TEST(Load, Timer3EndsThePlayerAndStartsTheTerminalFromItsFolder) {
  MainWindowFixture fx;
  fx.processes.running = {{40, "QvodPlayer.exe", "/opt/qvod/QvodPlayer.exe"}, {41, "bash", "/bin/bash"}};
  auto& f = fx.Load();
  forms::ManualClock clock;
  clock.Watch(f);
  clock.Advance(10);
  EXPECT_FALSE(f.T("Timer3").enabled());
  EXPECT_EQ(fx.processes.terminated, std::vector<int>{40});
  EXPECT_EQ(fx.processes.started, std::vector<std::string>{"/opt/qvod/QvodTerminal.exe"});
  EXPECT_EQ(fx.State().services.QvodFolder, "/opt/qvod/");
  EXPECT_EQ(fx.Ini("S_q", "qvodw"), "/opt/qvod/");
  clock.Advance(100);
  EXPECT_EQ(fx.processes.started.size(), 1u);  // runs once
}

TEST(Load, Timer3Variants) {
  struct Case {
    const char* qvodqi;
    std::vector<ProcessInfo> running;
    std::vector<int> terminated;
    std::vector<std::string> started;
    const char* qvodw;
  };
  const std::vector<Case> cases = {
      // Option off: nothing is touched, nothing written.
      {"1", {{40, "QvodPlayer.exe", "/q/QvodPlayer.exe"}}, {}, {}, "<missing>"},
      // Terminal already running: not started again; its folder is learnt.
      {"2",
       {{7, "QVODTERMINAL.EXE", "/t/QVODTERMINAL.EXE"}, {8, "qvodterminal.exe", "/t/QvodTerminal.exe"}},
       {},
       {},
       "/t/"},
      // Nothing running: no folder known, so nothing is started from a bare name.
      {"2", {}, {}, {}, "<missing>"},
  };
  for (const auto& c : cases) {
    MainWindowFixture fx;
    fx.SetIni("S_q", "qvodqi", c.qvodqi);
    fx.processes.running = c.running;
    fx.Load();
    fx.clock.Advance(10);
    EXPECT_EQ(fx.processes.terminated, c.terminated);
    EXPECT_EQ(fx.processes.started, c.started);
    EXPECT_EQ(fx.Ini("S_q", "qvodw"), c.qvodw);
  }
}

TEST(Load, Timer6OpensTheSidePanelOnceUnlessItsPageFailed) {
  for (int failed : {0, 1}) {
    MainWindowFixture fx;
    auto& f = fx.Load();
    fx.State().episodes.BannerAdFailed = failed;
    forms::ManualClock clock;
    clock.Watch(f);
    clock.Advance(1990);
    EXPECT_FALSE(f.C("u_k").visible);
    clock.Advance(20);
    EXPECT_EQ(f.C("u_k").visible, failed == 0);
    EXPECT_EQ(f.C("npc", 7).tooltip, failed == 0 ? "关闭" : "打开");
    EXPECT_FALSE(f.T("Timer6").enabled());
  }
}

TEST(Views, TabSwitchingKeepsExactlyOneTabDisabled) {
  MainWindowFixture fx;
  auto& f = fx.Load();
  for (int view : {9, 13, 14, 8, 13, 9}) {
    f.npc_Click(view);
    EXPECT_EQ(f.CurrentView, view);
    for (int tab : {8, 9, 13, 14}) {
      EXPECT_EQ(f.C("npc", tab).enabled, tab != view) << view << "/" << tab;
      EXPECT_EQ(f.C("npc", tab).frame.strip, tab == view ? 7 : 8) << view << "/" << tab;
    }
    const bool section = view == 13 || view == 14;
    EXPECT_EQ(f.C("ying").visible, section);
    EXPECT_EQ(f.C("zz").visible, !section);
  }
}

TEST(Views, SectionsLoadOncePerSwitch) {
  MainWindowFixture fx;
  auto& f = fx.Load();
  auto& web9 = fx.views["Web9"].navigations;
  web9.clear();
  f.npc_Click(13);
  f.npc_Click(8);
  f.npc_Click(13);
  EXPECT_EQ(web9, std::vector<std::string>{"http://127.0.0.1:9/soft//tv"});
  f.npc_Click(14);
  f.npc_Click(13);
  EXPECT_EQ(web9.size(), 3u);
  EXPECT_EQ(web9[1], "http://127.0.0.1:9/soft//yy");
}

TEST(Views, LeavingForTvStopsPlaybackOnlyWhenBusy) {
  struct Case {
    int view, state;
    bool stops;
  };
  for (const Case& c : {Case{13, 3, true}, Case{13, 2, true}, Case{13, 1, false}, Case{13, 0, false},
                        Case{14, 3, false}, Case{8, 3, false}}) {
    MainWindowFixture fx;
    auto& f = fx.Load();
    fx.player.url = "/m/a.mp4";
    fx.player.state = c.state;
    f.npc_Click(9);
    f.npc_Click(c.view);
    EXPECT_EQ(fx.player.calls == std::vector<std::string>{"stop"}, c.stops) << c.view << " " << c.state;
  }
}

TEST(Views, PlayViewChoosesTheListFromThePlaySource) {
  struct Case {
    int source;
    bool localBefore;
    const char* caption;
    const char* shown;
  };
  for (const Case& c : {Case{1, true, "∴ 管理任务", "Pic5"}, Case{2, false, "∴ 清空列表", "Pic4"},
                        Case{0, true, "∴ 清空列表", "Pic4"}, Case{0, false, "∴ 管理任务", "Pic5"}}) {
    MainWindowFixture fx;
    auto& f = fx.Load();
    if (c.localBefore) f.npc_Click(12);
    fx.State().playback.PlaySource = c.source;
    fx.views["Web2"].navigations.clear();
    f.npc_Click(9);
    EXPECT_EQ(f.C("qk").caption, c.caption);
    EXPECT_TRUE(f.C(c.shown).visible);
    EXPECT_FALSE(f.C("Pic3").visible);
    EXPECT_TRUE(f.C("qvod").visible);
    EXPECT_EQ(fx.views["Web2"].navigations, std::vector<std::string>{"about:blank"});
  }
}

TEST(Views, ReselectingThePlayViewKeepsItsTabSelected) {
  MainWindowFixture fx;
  auto& f = fx.Load();
  f.npc_Click(9);
  f.npc_Click(9);
  EXPECT_EQ(f.C("npc", 9).frame, (forms::Frame{7, 0, 0, 80, 32}));
  EXPECT_FALSE(f.C("npc", 9).enabled);
}

TEST(Close, QuestionIsAskedOnceAndItsAnswerKept) {
  struct Case {
    const char* ts;
    const char* quit;
    std::optional<Answer> answer;
    bool hidden;
    int exits;
    const char* tsAfter;
    const char* quitAfter;
  };
  const std::vector<Case> cases = {
      {nullptr, nullptr, std::nullopt, true, 0, "<missing>", "<missing>"},
      {"3", "2", Answer::Yes, true, 0, "1", "2"},
      {"3", "2", Answer::No, false, 1, "1", "1"},
      // Esc or the box's own close button: nothing closes and nothing is stored.
      {"3", "2", Answer::Cancel, false, 0, "3", "2"},
      {"1", "1", std::nullopt, false, 1, "1", "1"},
      {"1", "2", std::nullopt, true, 0, "1", "2"},
  };
  for (const auto& c : cases) {
    MainWindowFixture fx;
    if (c.ts) fx.SetIni("S_q", "ts", c.ts);
    if (c.quit) fx.SetIni("S_q", "quit", c.quit);
    if (c.answer) fx.dialogs.answers = {*c.answer};
    auto& f = fx.Load();
    f.npc_Click(2);
    EXPECT_EQ(fx.dialogs.asked.size(), c.answer ? 1u : 0u);
    if (c.answer) {
      EXPECT_EQ(fx.dialogs.asked[0].first, "关闭 Tavlin 最小化到托盘吗？");
      EXPECT_EQ(fx.dialogs.asked[0].second, "提示：");
    }
    EXPECT_EQ(f.window.visible, !c.hidden);
    EXPECT_EQ(fx.application.quits, c.exits);
    EXPECT_EQ(fx.Ini("S_q", "ts"), c.tsAfter);
    EXPECT_EQ(fx.Ini("S_q", "quit"), c.quitAfter);
  }
}

// A window hidden to a tray that is not there could never be brought back: without
// a tray, closing to it minimises, and the window system's restore brings it back.
TEST(Close, ToTheTrayMinimisesWhenTheDesktopHasNoTray) {
  for (const bool tray : {true, false}) {
    SCOPED_TRACE(tray ? "with a tray" : "without a tray");
    MainWindowFixture fx;
    fx.tray.available = tray;
    fx.SetIni("S_q", "ts", "3");
    fx.dialogs.answers = {Answer::Yes};
    auto& f = fx.Load();
    const int w = f.window.w;

    f.npc_Click(2);
    EXPECT_EQ(fx.Ini("S_q", "quit"), "2");
    EXPECT_EQ(fx.application.quits, 0);
    EXPECT_EQ(f.window.visible, !tray);
    EXPECT_EQ(fx.host.visible, !tray);
    EXPECT_EQ(f.Minimized(), !tray);
    EXPECT_EQ(fx.host.minimizes, tray ? 0 : 1);

    if (tray) {
      f.trayIcon.OnClick(1);
    } else {
      // A task bar or the window manager restores it; the window system reports it.
      forms::InputEvent restored = forms::InputEvent::OnForm(forms::InputEvent::StateChanged);
      restored.state = forms::WindowState::Normal;
      fx.Raise(restored);
    }
    EXPECT_TRUE(f.window.visible);
    EXPECT_TRUE(fx.host.visible);
    EXPECT_FALSE(f.Minimized());
    EXPECT_EQ(f.C("npc", 2).x, w - 38);
    EXPECT_EQ(f.C("npc", 1).tooltip, "最大化");

    // The kept answer acts the same way, whichever way the close comes.
    fx.Raise(forms::InputEvent::OnForm(forms::InputEvent::CloseRequested));
    EXPECT_EQ(fx.dialogs.asked.size(), 1u);
    EXPECT_EQ(f.window.visible, !tray);
    EXPECT_EQ(f.Minimized(), !tray);
    EXPECT_EQ(fx.host.minimizes, tray ? 0 : 2);
    EXPECT_EQ(fx.application.quits, 0);
  }
}

TEST(Compact, RefusedInSectionsAndRestoredByJbi) {
  MainWindowFixture fx;
  auto& f = fx.Load();
  f.npc_Click(13);
  f.npc_Click(15);
  EXPECT_EQ(f.CompactMode, 0);

  f.npc_Click(8);
  fx.SetIni("S_q", "h_w", "16500");
  fx.SetIni("S_q", "h_h", "9000");
  f.npc_Click(15);
  EXPECT_EQ(f.CompactMode, 1);
  EXPECT_EQ(f.CurrentView, 9);
  EXPECT_TRUE(f.window.topmost);
  for (int i = 0; i <= 16; ++i) EXPECT_FALSE(f.C("npc", i).visible) << i;
  EXPECT_TRUE(f.C("jbi").visible);
  EXPECT_FALSE(f.C("l2").visible);
  f.Form_DblClick();  // no maximise in compact mode
  EXPECT_FALSE(f.Maximized());

  f.jbi_Click();
  EXPECT_EQ(f.CompactMode, 0);
  EXPECT_FALSE(f.window.topmost);
  EXPECT_EQ(f.window.w, 1100);
  EXPECT_EQ(f.window.h, 600);
  EXPECT_EQ(f.window.x, (1280 - 1100) / 2);
  EXPECT_EQ(f.window.y, (800 - 600) / 2);
  EXPECT_TRUE(f.C("l2").visible);
  EXPECT_EQ(f.C("ni_name").caption, "Tavlin 3.0");
}

// The window opens in the middle of the 1280x800 screen whatever size it starts
// at; one without a saved size grows to its minimum, and that is what is centred.
TEST(Start, TheWindowOpensInTheMiddleOfTheScreen) {
  const char* widths[] = {nullptr, "16500", "0"};
  for (const char* width : widths) {
    SCOPED_TRACE(width ? width : "design size");
    MainWindowFixture fx;
    if (width) {
      fx.SetIni("S_q", "s_size", "2");
      fx.SetIni("S_q", "h_w", width);
      fx.SetIni("S_q", "h_h", width);
    }
    auto& f = fx.Load();
    const int w = std::max(f.window.w, f.window.minW), h = std::max(f.window.h, f.window.minH);
    EXPECT_LE(std::abs(2 * f.window.x + w - 1280), 1);
    EXPECT_LE(std::abs(2 * f.window.y + h - 800), 1);
    EXPECT_EQ(fx.host.placed, (std::pair{f.window.x, f.window.y}));
  }
}

TEST(Compact, PinnedWindowStaysPinnedAfterLeaving) {
  MainWindowFixture fx;
  auto& f = fx.Load();
  f.npc_Click(4);
  EXPECT_EQ(f.C("npc", 4).tooltip, "取消置顶");
  EXPECT_EQ(f.C("npc", 4).frame, (forms::Frame{6, 42, 0, 21, 19}));
  f.npc_Click(15);
  f.jbi_Click();
  EXPECT_TRUE(f.window.topmost);
}

// The way back from compact mode says what it does, and Esc takes it too; the
// caption, and the compact title in its place, move the window.
TEST(Compact, EscOrTheRestoreLabelLeaveItAndTheTitleMovesTheWindow) {
  MainWindowFixture fx;
  auto& f = fx.Load();
  EXPECT_EQ(f.C("jbi").tooltip, "还原");
  fx.Key(forms::kKeyEscape);  // not in compact mode: nothing to leave
  EXPECT_EQ(f.CompactMode, 0);
  fx.Mouse(forms::InputEvent::MouseDown, {"ni_name", {}}, forms::kLeftButton, 5, 5);
  EXPECT_EQ(fx.host.moveResizeStarts, std::vector<int>{kHitCaption});
  fx.Mouse(forms::InputEvent::MouseDown, {"ni_name", {}}, forms::kRightButton, 5, 5);
  EXPECT_EQ(fx.host.moveResizeStarts.size(), 1u);  // the right button does not move it

  f.npc_Click(15);
  fx.Mouse(forms::InputEvent::MouseDown, {"ni_bo1", {}}, forms::kLeftButton, 5, 5);
  EXPECT_EQ(fx.host.moveResizeStarts.size(), 2u);
  fx.Key(forms::kKeyEscape);
  EXPECT_EQ(f.CompactMode, 0);
  EXPECT_TRUE(f.C("npc", 15).visible);
  EXPECT_FALSE(f.C("jbi").visible);

  fx.Mouse(forms::InputEvent::DblClick, {"ni_name", {}});  // as on the window's surface
  EXPECT_TRUE(f.Maximized());
  fx.Mouse(forms::InputEvent::MouseDown, {"ni_name", {}}, forms::kLeftButton, 5, 5);
  EXPECT_EQ(fx.host.moveResizeStarts.size(), 2u);  // a maximised window stays put
}

// A long name under the picture is cut to 30 width units and to the room before the
// buttons; hovering shows it whole, in compact mode too.
TEST(Title, TheWholeNameShowsOnHover) {
  MainWindowFixture fx;
  auto& f = fx.Load();
  const std::string name = "我的长长的中文影片名字测试一下看看后面还有什么.mp4";
  f.title.Show(name, "-第1集");
  EXPECT_EQ(f.bo_name.caption, "我的长长的中文影片名字测试一下-第1集");
  EXPECT_EQ(f.bo_name.tooltip, name + "-第1集");
  EXPECT_LE(f.bo_name.x + f.bo_name.w, f.C("bo_but", 1).x);
  f.npc_Click(15);
  EXPECT_EQ(f.C("ni_bo1").tooltip, name + "-第1集");
  f.jbi_Click();
  f.SetWindowSize(13000, 7000);  // the narrowest window: the label ends before the buttons
  EXPECT_LE(f.bo_name.x + f.bo_name.w, f.C("bo_but", 1).x);
}

TEST(Menus, ButtonsPopUpTheirMenusBesideThemselves) {
  MainWindowFixture fx;
  auto& f = fx.Load();
  f.npc_Click(3);
  f.npc_Click(5);
  f.npc_Click(16);
  EXPECT_EQ(fx.menus.popups, (std::vector<std::string>{"pifu@851,20", "r_m@875,20", "r_m@30,627"}));
  EXPECT_EQ(f.C("npc", 16).frame, (forms::Frame{20, 0, 0, 54, 38}));
}

TEST(Hover, ButtonsShowHoverFrameAndDrawnTooltipUntilLeft) {
  struct Case {
    int index;
    forms::Frame hover, normal;
    bool tooltip;
  };
  for (const Case& c :
       {Case{0, {2, 72, 0, 24, 19}, {1, 72, 0, 24, 19}, true}, Case{2, {2, 120, 0, 33, 19}, {1, 120, 0, 33, 19}, true},
        Case{4, {6, 21, 0, 21, 19}, {6, 0, 0, 21, 19}, true}, Case{7, {4, 0, 0, 10, 10}, {4, 20, 0, 10, 10}, false},
        Case{16, {20, 45, 0, 45, 38}, {20, 0, 0, 45, 38}, false}}) {
    MainWindowFixture fx;
    auto& f = fx.Load();
    f.npc_MouseMove(c.index, 0, 3, 3);
    EXPECT_EQ(f.C("npc", c.index).frame, c.hover) << c.index;
    EXPECT_EQ(f.C("p1").visible, c.tooltip);
    ASSERT_TRUE(f.Capture.has_value());
    if (c.tooltip) {
      const auto& b = f.C("npc", c.index);
      EXPECT_EQ(f.C("bo_tip").caption, b.tooltip);
      EXPECT_EQ(f.C("p1").x, b.x - 5);
      EXPECT_EQ(f.C("p1").y, b.y + b.h + 3);
    }
    f.npc_MouseMove(c.index, 0, -1, 3);
    EXPECT_EQ(f.C("npc", c.index).frame, c.normal) << c.index;
    EXPECT_FALSE(f.C("p1").visible);
    EXPECT_FALSE(f.Capture.has_value());
  }
}

}  // namespace
}  // namespace tavlin
