// The orderly exit: position saved, helper processes ended when asked, exit page.
#include "core/app/exit_routine.h"

#include <gtest/gtest.h>

#include "support/program_fixture.h"

namespace tavlin {
namespace {

using testing::PlayerFixture;

struct ExitFixture {
  PlayerFixture t;
  void Exit() { t.program->ttt_v(); }
};

TEST(ExitRoutine, SavesThePositionOfTheItemPlayingThenUnloads) {
  ExitFixture e;
  e.t.player.duration = 100;
  e.t.Open("/m/a b.mp4");
  e.t.Play(12);
  e.Exit();
  EXPECT_EQ(e.t.dir.Read("date_f.dat"), "a b.mp4|/m/a b.mp4|12\r\n");
  EXPECT_EQ(e.t.tray.events.back(), "remove");
  EXPECT_EQ(e.t.application.quits, 1);
  EXPECT_TRUE(e.t.shell.opened.empty());
}

TEST(ExitRoutine, EndsTheHelperProcessesOnlyWhenTheSettingSaysSo) {
  for (const char* qvodk : {"1", "2"}) {
    ExitFixture e;
    e.t.SetIni("S_q", "qvodk", qvodk);
    e.t.processes.running = {{11, "QvodPlayer.exe", "/q/QvodPlayer.exe"},
                             {12, "QvodTerminal.exe", "/q/QvodTerminal.exe"},
                             {13, "other", "/bin/other"}};
    e.Exit();
    EXPECT_EQ(e.t.State().services.CloseQvodSetting, qvodk);
    const std::vector<int> ended = std::string(qvodk) == "2" ? std::vector<int>{11, 12} : std::vector<int>{};
    EXPECT_EQ(e.t.processes.terminated, ended);
  }
}

TEST(ExitRoutine, OpensTheExitPageOnlyWhenAnnounced) {
  const std::pair<const char*, std::vector<std::string>> cases[] = {
      {"1****http://127.0.0.1:9/bye.htm", {"http://127.0.0.1:9/bye.htm"}},
      {"1****http://127.0.0.1:9/bye.htm****2****x", {"http://127.0.0.1:9/bye.htm"}},
      {"0****http://127.0.0.1:9/bye.htm", {}},
      {"1", {}},
      {"", {}},
  };
  for (const auto& [spec, opened] : cases) {
    ExitFixture e;
    e.t.State().update.ExitPageSpec = spec;
    e.Exit();
    EXPECT_EQ(e.t.shell.opened, opened) << spec;
  }
}

}  // namespace
}  // namespace tavlin
