// The one-shot start-up task against real processes this test starts under the
// player's names: the stand-alone player is ended, its folder is remembered and the
// terminal is started from there.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "dummy_processes.h"
#include "shell_fakes.h"

namespace tavlin {
namespace {

using testing::Dummy;
using testing::MainWindowFixture;
using testing::OwnProcesses;
using testing::TempFolder;

TEST(StartupTask, EndsTheRunningPlayerAndStartsTheTerminalBesideIt) {
  TempFolder qvod;
  // The terminal leaves a mark and ends, so nothing is left running.
  const std::string terminal = qvod.File("QvodTerminal.exe");
  const std::string marker = qvod.File("terminal-started");
  std::ofstream(terminal) << "#!/bin/sh\necho started > '" << marker << "'\n";
  ::chmod(terminal.c_str(), 0755);
  Dummy player(qvod, "QvodPlayer.exe");

  MainWindowFixture fx;
  OwnProcesses processes({player.pid()});
  shell::BA1& f = fx.Load();
  f.ports.processes = &processes;
  f.Timer3_Timer();

  EXPECT_TRUE(player.Ended());
  EXPECT_EQ(f.QvodFolder, qvod.dir() + "/");
  EXPECT_EQ(fx.Ini("S_q", "qvodw"), qvod.dir() + "/");
  EXPECT_EQ(processes.started, std::vector<std::string>{terminal});
  for (int i = 0; i < 400 && qvod.Read("terminal-started").empty(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_EQ(qvod.Read("terminal-started"), "started\n");
}

TEST(StartupTask, TouchesNoProcessWhenTheSettingSaysSo) {
  TempFolder qvod;
  Dummy player(qvod, "QvodPlayer.exe");
  MainWindowFixture fx;
  OwnProcesses processes({player.pid()});
  shell::BA1& f = fx.Load();
  f.ports.processes = &processes;
  fx.SetIni("S_q", "qvodqi", "1");
  f.Timer3_Timer();
  EXPECT_TRUE(processes.started.empty());
  EXPECT_EQ(fx.Ini("S_q", "qvodw"), "<missing>");
  EXPECT_EQ(::kill(player.pid(), 0), 0) << "the player still runs";
}

}  // namespace
}  // namespace tavlin
