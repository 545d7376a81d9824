// The update file read six seconds after load: the parser over the file's edge
// cases, then whole scenarios of notices, the version question and the exit.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/update/update_file.h"
#include "support/program_fixture.h"

namespace tavlin::testing {
namespace {

TEST(UpdateFile, SectionsNoticesAndSwitches) {
  EXPECT_FALSE(update::ParseUpdateFile(""));
  EXPECT_FALSE(update::ParseUpdateFile("<html>维护中</html>"));
  EXPECT_FALSE(update::ParseUpdateFile(std::string(update::kMaxUpdateFileBytes + 1, '=')));
  const auto shortFile = update::ParseUpdateFile("0****====1");
  ASSERT_TRUE(shortFile);
  EXPECT_EQ(shortFile->noticeSwitch, "1");
  EXPECT_FALSE(shortFile->notices);
  EXPECT_FALSE(shortFile->version);
  const auto full = update::ParseUpdateFile("1****http://x/====1====n====1==== 1 ====3.1\r\n====extra");
  ASSERT_TRUE(full);
  EXPECT_EQ(full->exitPage, "1****http://x/");
  EXPECT_EQ(update::CleanVersion(*full->version), "3.1");
  EXPECT_TRUE(update::SwitchOn(full->playerAd));
  EXPECT_FALSE(update::SwitchOn(std::string("on")));
  EXPECT_FALSE(update::SwitchOn(std::nullopt));

  std::string six;
  for (int i = 0; i < 6; ++i) six += (i ? "@@@@@" : "") + std::string(1, char('A' + i)) + "****l" + std::to_string(i);
  const auto notices = update::ParseNotices(six);
  ASSERT_EQ(notices.size(), 4u);
  EXPECT_EQ(notices[3].caption, "D");
  EXPECT_EQ(notices[3].link, "l3");
  EXPECT_EQ(update::ParseNotices("A@@@@@B****b")[0].link, "");
  EXPECT_TRUE(update::ParseNotices("no links at all").empty());

  for (const char* yes : {"3.1", " 2 ", "0.5"}) EXPECT_TRUE(update::IsNonZeroNumber(yes)) << yes;
  for (const char* no : {"0", "", "3.1beta", "abc", "nan", "inf", "0.0"})
    EXPECT_FALSE(update::IsNonZeroNumber(no)) << no;
}

struct UpdateFixture : ProgramFixture {
  explicit UpdateFixture(const std::string& file, const std::string& installed = "3.0") {
    SetIni("Ver", "Name", installed);
    http.Answer(file);
    Load();
  }
  void Check() { clock.Advance(6000); }
  std::vector<int> Shown() {
    std::vector<int> out;
    for (int i = 0; i <= 3; ++i)
      if (f->Lab2[i].visible) out.push_back(i);
    return out;
  }
};

TEST(UpdateCheck, NoticesTakeTurnsAndTheQuestionNamesTheNewVersion) {
  UpdateFixture t("0****http://x/====1====A****http://127.0.0.1/a@@@@@B****file:///etc/passwd====0====0====3.1\r\n");
  t.Check();
  EXPECT_EQ(t.http.requests, std::vector<std::string>{std::string(kPortal) + "lib/wen.txt"});
  ASSERT_EQ(t.dialogs.asked.size(), 1u);
  EXPECT_EQ(t.dialogs.asked[0],
            std::make_pair(std::string("检测到最新版本 3.1 ,你需要现在升级吗？"), std::string("Tavlin提示：")));
  EXPECT_EQ(t.State().update.ExitPageSpec, "0****http://x/");
  EXPECT_EQ(t.f->Lab2[0].caption, "A");
  EXPECT_EQ(t.f->Lab2[1].fore, (forms::Rgb{17, 64, 96}));
  EXPECT_TRUE(t.f->adp.visible);
  EXPECT_FALSE(t.f->ad_huan.visible);
  EXPECT_FALSE(t.f->Timer8.enabled());

  // Every four seconds the next notice; the check itself never runs again.
  std::vector<std::vector<int>> seen{t.Shown()};
  for (int i = 0; i < 3; ++i) {
    t.clock.Advance(4000);
    seen.push_back(t.Shown());
  }
  EXPECT_EQ(seen, (std::vector<std::vector<int>>{{0}, {1}, {0}, {1}}));
  EXPECT_EQ(t.http.requests.size(), 1u);

  // A click hands a web link to the desktop, and nothing else.
  t.Raise(forms::InputEvent::OnControl(forms::InputEvent::Click, {"Lab2", 0}, forms::kLeftButton));
  t.Raise(forms::InputEvent::OnControl(forms::InputEvent::Click, {"Lab2", 1}, forms::kLeftButton));
  EXPECT_EQ(t.shell.opened, std::vector<std::string>{"http://127.0.0.1/a"});
  // The exit page's switch is 0: nothing opened at exit.
  t.program->ttt_v();
  EXPECT_EQ(t.shell.opened.size(), 1u);
}

TEST(UpdateCheck, AnEntryWithoutALinkDoesNotCountButKeepsItsPlace) {
  UpdateFixture t("0====1====A****http://a/@@@@@B@@@@@C****http://c/====0====0====3.0");
  t.Check();
  std::vector<int> order;
  for (int i = 0; i < 4; ++i) {
    t.clock.Advance(4000);
    order.push_back(ToNumber(t.f->Lab[0].caption));
  }
  // Two notices count, so the turns run over indexes 0 and 1: C is never shown.
  EXPECT_EQ(order, (std::vector<int>{1, 0, 1, 0}));
  EXPECT_EQ(t.f->Lab2[2].caption, "C");
}

TEST(UpdateCheck, YesOpensTheInstallerAndExitsBeforeTheAdIsArmed) {
  UpdateFixture t("1****file:///etc/passwd====0========1====1====3.1");
  t.dialogs.answers = {Answer::Yes};
  t.Check();
  EXPECT_EQ(t.shell.opened, std::vector<std::string>{std::string(kPortal) + "update/setup.exe"});
  EXPECT_EQ(t.application.quits, 1);
  EXPECT_FALSE(t.f->Timer8.enabled());
  // The player-area switch was applied before the question.
  EXPECT_TRUE(t.f->ad_huan.visible);
}

TEST(UpdateCheck, AnUpdaterBesideTheProgramIsStartedInsteadOfTheBrowser) {
  UpdateFixture t("0====0====x====0====0====3.1");
  const std::string updater = t.dir.File("update");
  t.dir.Write("update", "#!/bin/sh\n");
  std::filesystem::permissions(updater, std::filesystem::perms::owner_all);
  t.dialogs.answers = {Answer::Yes};
  t.Check();
  EXPECT_EQ(t.processes.started, std::vector<std::string>{updater});
  EXPECT_TRUE(t.shell.opened.empty());
  EXPECT_EQ(t.application.quits, 1);
}

TEST(UpdateCheck, SameOrUnreadableVersionsAskNothingAndTheAdFollows) {
  const std::pair<const char*, const char*> cases[] = {
      {"3.0\r\n", "3.0"}, {"3.0", " 3.0 "}, {"0", "3.0"}, {"abc", "3.0"}};
  for (const auto& [version, installed] : cases) {
    UpdateFixture t(std::string("0====0========1====0====") + version, installed);
    t.Check();
    EXPECT_TRUE(t.dialogs.asked.empty()) << version;
    EXPECT_TRUE(t.f->Timer8.enabled()) << version;
  }
  // The manual check asks whenever the text differs, a number or not.
  UpdateFixture t("0====0========0====0====abc");
  t.Check();
  t.program->tip().ItemClick("shengji");
  ASSERT_EQ(t.dialogs.asked.size(), 1u);
  EXPECT_EQ(t.dialogs.asked[0].first, "检测到最新版本 abc ,你需要现在升级吗？");
  t.dialogs.answers = {Answer::Yes};
  t.program->tip().ItemClick("shengji");
  EXPECT_EQ(t.shell.opened, std::vector<std::string>{std::string(kPortal) + "update/update.exe"});
}

TEST(UpdateCheck, NoAnswerLeavesEverythingAndTheManualCheckSaysUpToDate) {
  for (const std::optional<std::string>& answer : {std::optional<std::string>{}, std::optional<std::string>{""},
                                                   std::optional<std::string>{"1====1====A****http://a/"}}) {
    UpdateFixture t("");
    t.http.Answer(answer);
    t.f->CompactMode = answer && !answer->empty() ? 1 : 0;
    t.Check();
    t.program->tip().ItemClick("shengji");
    ASSERT_EQ(t.dialogs.asked.size(), 1u);
    EXPECT_EQ(t.dialogs.asked[0],
              std::make_pair(std::string("你现在使用的是最新版本，无需升级！"), std::string("提示：")));
    EXPECT_FALSE(t.f->Timer8.enabled());
    if (t.f->CompactMode == 1) {
      // In compact mode the notices wait for the normal window.
      EXPECT_EQ(t.f->Lab2[0].caption, "A");
      EXPECT_FALSE(t.f->Timer7.enabled());
    }
  }
}

TEST(ExitPage, OnlyAWebPageIsOpenedAtExit) {
  const std::pair<const char*, bool> cases[] = {{"1****http://127.0.0.1/bye", true},
                                                {"1****file:///etc/passwd", false},
                                                {"1****/bin/sh", false},
                                                {"0****http://127.0.0.1/bye", false}};
  for (const auto& [spec, opened] : cases) {
    ProgramFixture t;
    t.Load();
    t.State().update.ExitPageSpec = spec;
    t.program->ttt_v();
    EXPECT_EQ(t.shell.opened.size(), opened ? 1u : 0u) << spec;
  }
}

}  // namespace
}  // namespace tavlin::testing
