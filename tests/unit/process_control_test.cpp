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

#include "platform/linux/linux_processes.h"
#include "temp_folder.h"

extern char** environ;

namespace tavlin {
namespace {

using testing::TempFolder;

class Dummy {
 public:
  Dummy(const TempFolder& dir, const std::string& name) {
    path_ = dir.File(name);
    std::filesystem::copy_file("/bin/sleep", path_, std::filesystem::copy_options::overwrite_existing);
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all);
    char* argv[] = {path_.data(), const_cast<char*>("60"), nullptr};
    EXPECT_EQ(::posix_spawn(&pid_, path_.c_str(), nullptr, nullptr, argv, environ), 0);
    // Wait until /proc shows the new executable rather than the spawner.
    for (int i = 0; i < 200 && std::filesystem::read_symlink("/proc/" + std::to_string(pid_) + "/exe").string() != path_; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
  ~Dummy() {
    if (!reaped_) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  // True when the process ended by a signal.
  bool Ended() {
    int status = 0;
    for (int i = 0; i < 200; ++i) {
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        reaped_ = true;
        return WIFSIGNALED(status);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
  }
  int pid() const { return pid_; }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  pid_t pid_ = 0;
  bool reaped_ = false;
};

// Sees only the processes this test started, so nothing else on the machine is
// ever a candidate.
class OwnProcesses final : public Processes {
 public:
  explicit OwnProcesses(std::vector<int> pids) : pids_(std::move(pids)) {}
  std::vector<ProcessInfo> List() override {
    std::vector<ProcessInfo> mine;
    for (ProcessInfo& p : real_.List()) {
      if (std::find(pids_.begin(), pids_.end(), p.pid) != pids_.end()) mine.push_back(std::move(p));
    }
    return mine;
  }
  bool Terminate(int pid) override {
    return std::find(pids_.begin(), pids_.end(), pid) != pids_.end() && real_.Terminate(pid);
  }
  bool StartDetached(const std::string&, const std::vector<std::string>&, WindowState) override { return false; }

 private:
  LinuxProcesses real_;
  std::vector<int> pids_;
};

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
  ASSERT_TRUE(processes.StartDetached("/bin/sh", {"-c", "echo ok > '" + marker + "'"}, WindowState::MinimizedWithFocus));
  for (int i = 0; i < 400 && dir.Read("started") != "ok\n"; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_EQ(dir.Read("started"), "ok\n");
  EXPECT_FALSE(processes.StartDetached(dir.File("nope"), {}, WindowState::Normal));
}

}  // namespace
}  // namespace tavlin
