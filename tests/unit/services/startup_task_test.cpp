// The one-shot start-up task against real processes this test starts under the
// player's names: the stand-alone player is ended, its folder is remembered and the
// terminal is started from there.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "support/dummy_processes.h"
#include "core/base/config.h"
#include "core/services/startup_task.h"
#include "support/fakes.h"

namespace tavlin {
namespace {

using testing::Dummy;
using testing::OwnProcesses;
using testing::TempFolder;

// The task on its own, in a fresh program folder, over the processes given.
struct Task {
  explicit Task(Processes& processes)
      : task(ProgramFolder{home.dir()}, timer, state, processes, application, failures) {}
  std::string Ini(const char* key) { return ReadIni(home.File("config.ini"), "S_q", key, "<missing>"); }
  TempFolder home;
  forms::Timer timer{"Timer3", 10, true};
  state::ServiceState state;
  testing::FakeApplication application;
  struct : WriteFailures {
    void WriteFailed(const std::string&) override {}
  } failures;
  services::StartupTask task;
};

TEST(StartupTask, EndsTheRunningPlayerAndStartsTheTerminalBesideIt) {
  TempFolder qvod;
  // The terminal leaves a mark and ends, so nothing is left running.
  const std::string terminal = qvod.File("QvodTerminal.exe");
  const std::string marker = qvod.File("terminal-started");
  std::ofstream(terminal) << "#!/bin/sh\necho started > '" << marker << "'\n";
  ::chmod(terminal.c_str(), 0755);
  Dummy player(qvod, "QvodPlayer.exe");

  OwnProcesses processes({player.pid()});
  Task t(processes);
  t.task.Timer3_Timer();

  EXPECT_FALSE(t.timer.enabled()) << "it runs once";
  EXPECT_TRUE(player.Ended());
  EXPECT_EQ(t.state.QvodFolder, qvod.dir() + "/");
  EXPECT_EQ(t.Ini("qvodw"), qvod.dir() + "/");
  EXPECT_EQ(processes.started, std::vector<std::string>{terminal});
  for (int i = 0; i < 400 && qvod.Read("terminal-started").empty(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_EQ(qvod.Read("terminal-started"), "started\n");
}

TEST(StartupTask, TouchesNoProcessWhenTheSettingSaysSo) {
  TempFolder qvod;
  Dummy player(qvod, "QvodPlayer.exe");
  OwnProcesses processes({player.pid()});
  Task t(processes);
  (void)WriteIni(t.home.File("config.ini"), "S_q", "qvodqi", "1");
  t.task.Timer3_Timer();
  EXPECT_TRUE(processes.started.empty());
  EXPECT_EQ(t.Ini("qvodw"), "<missing>");
  EXPECT_EQ(::kill(player.pid(), 0), 0) << "the player still runs";
}

}  // namespace
}  // namespace tavlin
