// The orderly exit: position saved, helper processes ended when asked, exit page.
#include "core/app/exit_routine.h"

#include <gtest/gtest.h>

#include "fake_shell.h"
#include "player_fakes.h"

namespace tavlin {
namespace {

using testing::PlayerFixture;
using testing::RecordingShell;

struct ExitFixture {
  PlayerFixture t;
  RecordingShell shell;
  std::vector<std::string> steps;
  ExitPorts Ports() {
    return {&t.fx.processes, &shell, [this] { steps.push_back("tray"); }, [this] { steps.push_back("unload"); }};
  }
};

TEST(ExitRoutine, SavesThePositionOfTheItemPlayingThenUnloads) {
  ExitFixture e;
  e.t.player.duration = 100;
  e.t.Open("/m/a b.mp4");
  e.t.Play(12);
  RunExitRoutine(*e.t.f, e.Ports());
  EXPECT_EQ(e.t.fx.dir.Read("date_f.dat"), "a b.mp4|/m/a b.mp4|12\r\n");
  EXPECT_EQ(e.steps, (std::vector<std::string>{"tray", "unload"}));
  EXPECT_TRUE(e.shell.opened.empty());
}

TEST(ExitRoutine, EndsTheHelperProcessesOnlyWhenTheSettingSaysSo) {
  for (const char* qvodk : {"1", "2"}) {
    ExitFixture e;
    e.t.fx.SetIni("S_q", "qvodk", qvodk);
    e.t.fx.processes.running = {{11, "QvodPlayer.exe", "/q/QvodPlayer.exe"},
                                {12, "QvodTerminal.exe", "/q/QvodTerminal.exe"},
                                {13, "other", "/bin/other"}};
    RunExitRoutine(*e.t.f, e.Ports());
    EXPECT_EQ(e.t.f->CloseQvodSetting, qvodk);
    const std::vector<int> ended = std::string(qvodk) == "2" ? std::vector<int>{11, 12} : std::vector<int>{};
    EXPECT_EQ(e.t.fx.processes.terminated, ended);
  }
}

TEST(ExitRoutine, OpensTheExitPageOnlyWhenAnnounced) {
  const std::pair<const char*, std::vector<std::string>> cases[] = {
      {"1****http://127.0.0.1:9/bye.htm", {"http://127.0.0.1:9/bye.htm"}},
      {"0****http://127.0.0.1:9/bye.htm", {}},
      {"1", {}},
      {"", {}},
  };
  for (const auto& [spec, opened] : cases) {
    ExitFixture e;
    e.t.f->ExitPageSpec = spec;
    RunExitRoutine(*e.t.f, e.Ports());
    EXPECT_EQ(e.shell.opened, opened) << spec;
  }
}

}  // namespace
}  // namespace tavlin
