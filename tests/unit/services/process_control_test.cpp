// Process control against real processes: dummies this test starts under the
// player's process names, and ends itself by PID.
#include "core/services/process_control.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "support/dummy_processes.h"

extern char** environ;

namespace tavlin {
namespace {

using testing::Dummy;
using testing::OwnProcesses;
using testing::TempFolder;

TEST(LinuxProcesses, ListsNameAndExecutablePath) {
  TempFolder dir;
  Dummy player(dir, "QvodPlayer.exe");
  LinuxProcesses processes;
  const auto list = processes.List();
  const auto it = std::find_if(list.begin(), list.end(), [&](const ProcessInfo& p) { return p.pid == player.pid(); });
  ASSERT_NE(it, list.end());
  EXPECT_EQ(it->name, "QvodPlayer.exe");
  EXPECT_EQ(it->executablePath, player.path());
  EXPECT_FALSE(processes.Terminate(::getpid())) << "never ends itself";
}

TEST(ProcessControl, FindIsACaseSensitiveSubstringTest) {
  TempFolder dir;
  Dummy lower(dir, "qvodterminal.exe");
  Dummy longer(dir, "MyQvodTerminal.exe2");
  OwnProcesses processes({lower.pid(), longer.pid()});
  EXPECT_EQ(FindProcessId(processes, "QvodTerminal.exe"), longer.pid());
  EXPECT_EQ(FindProcessId(processes, "qvodterminal"), lower.pid());
  EXPECT_EQ(FindProcessId(processes, "QvodPlayer.exe"), 0);
}

TEST(ProcessControl, KillByNameEndsOneAndWholeNameMatchEndsAll) {
  TempFolder dir;
  TempFolder other;
  Dummy first(dir, "QvodPlayer.exe");
  Dummy second(other, "QVODPLAYER.EXE");
  Dummy longer(dir, "QvodPlayer.exe.bak");
  OwnProcesses processes({first.pid(), second.pid(), longer.pid()});

  const auto matches = FindProcessesByName(processes, "QvodPlayer.exe");
  ASSERT_EQ(matches.size(), 2u);

  KillProcessByName(processes, "QvodPlayer.exe");
  EXPECT_TRUE(first.Ended());
  EXPECT_EQ(FindProcessesByName(processes, "qvodplayer.exe").size(), 1u);

  const auto paths = KillProcessesByName(processes, "qvodplayer.exe");
  EXPECT_EQ(paths, std::vector<std::string>{second.path()});
  EXPECT_TRUE(second.Ended());
  EXPECT_EQ(FindProcessId(processes, "QvodPlayer.exe.bak"), longer.pid()) << "a longer name is not ended";
  EXPECT_FALSE(KillProcess(processes, 0));
}

TEST(LinuxProcesses, StartDetachedRunsTheProgram) {
  TempFolder dir;
  LinuxProcesses processes;
  const std::string marker = dir.File("started");
  ASSERT_TRUE(
      processes.StartDetached("/bin/sh", {"-c", "echo ok > '" + marker + "'"}, WindowState::MinimizedWithFocus));
  for (int i = 0; i < 400 && dir.Read("started") != "ok\n"; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_EQ(dir.Read("started"), "ok\n");
  EXPECT_FALSE(processes.StartDetached(dir.File("nope"), {}, WindowState::Normal));
}

}  // namespace
}  // namespace tavlin
