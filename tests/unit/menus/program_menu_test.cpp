// The program menu r_m and the help pager of the form tip.
#include <gtest/gtest.h>

#include "support/program_fixture.h"

namespace tavlin::testing {
namespace {

TEST(HelpPager, LeafsThroughFivePagesAndStartsOverWhenReopened) {
  ProgramFixture t;
  t.Load();
  menus::Tip& tip = t.program->tip();
  ASSERT_TRUE(tip.ItemClick("help"));
  EXPECT_TRUE(tip.window.visible);
  auto shownPages = [&] {
    std::vector<int> out;
    for (int i = 0; i < menus::kHelpPages; ++i)
      if (tip.Pi[i].visible) out.push_back(i);
    return out;
  };
  EXPECT_EQ(shownPages(), std::vector<int>{0});
  std::vector<std::string> numbers;
  for (int i = 0; i < 5; ++i) {
    tip.input.Raise(forms::InputEvent::OnControl(forms::InputEvent::Click, {"cmdnext", {}}, forms::kLeftButton));
    EXPECT_EQ(shownPages().size(), 1u);
    numbers.push_back(tip.Label3.caption);
  }
  EXPECT_EQ(numbers, (std::vector<std::string>{"2", "3", "4", "5", "1"}));
  EXPECT_EQ(shownPages(), std::vector<int>{0});
  tip.cmdnext_Click();
  tip.ItemClick("kaiqi");
  tip.input.Raise(forms::InputEvent::OnControl(forms::InputEvent::Click, {"cmdclose", {}}, forms::kLeftButton));
  EXPECT_FALSE(tip.window.visible);
  EXPECT_FALSE(tip.loaded());
  // The menu still works after the form was unloaded; it loads again from page 0.
  ASSERT_TRUE(tip.ItemClick("help"));
  EXPECT_EQ(shownPages(), std::vector<int>{0});
  EXPECT_EQ(tip.Label3.caption, "1");
  EXPECT_FALSE(tip.FindItem("kaiqi")->checked);
  EXPECT_EQ(t.f->bo_but[6].tooltip, "已开启自动关机");  // the button keeps the state
}

TEST(ProgramMenu, OpensTheSettingsDialogOnItsPageWithTheMainWindowUpAndStillPinned) {
  ProgramFixture t;
  auto& f = t.Load();
  menus::Tip& tip = t.program->tip();
  settings::BA3& d = t.program->ba3();
  f.npc_Click(4);  // pinned
  f.ShowWindow(false);
  tip.ItemClick("about");
  EXPECT_TRUE(f.window.visible);
  EXPECT_TRUE(f.window.topmost);
  EXPECT_TRUE(d.window.visible);
  EXPECT_TRUE(d.p1[0].visible);
  EXPECT_EQ(d.bb.caption, "关于软件");
  EXPECT_EQ(d.d_z[0].fore, (forms::Rgb{255, 255, 255}));
  EXPECT_EQ(d.d_z[0].caption, "关于软件\r\n");
  tip.ItemClick("shezhi");
  EXPECT_TRUE(d.p1[1].visible);
  EXPECT_FALSE(d.p1[0].visible);
  EXPECT_EQ(d.bb.caption, "软件设置");
  EXPECT_EQ(d.d_z[0].fore, (forms::Rgb{0, 0, 0}));

  // The exit unloads every form.
  tip.ItemClick("qsoft");
  EXPECT_EQ(t.application.quits, 1);
  EXPECT_FALSE(d.window.visible);
  EXPECT_FALSE(tip.loaded());
}

TEST(ProgramMenu, HomePageGoesToTheBrowser) {
  ProgramFixture t;
  t.Load();
  t.program->tip().ItemClick("guanf");
  EXPECT_EQ(t.shell.opened, std::vector<std::string>{kPortal});
}

}  // namespace
}  // namespace tavlin::testing
