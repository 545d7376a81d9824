#pragma once
// Processes a test starts itself under the player's process names, and a view of
// the process list that holds only those: nothing else on the machine is ever a
// candidate for ending.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/linux/linux_processes.h"
#include "temp_folder.h"

extern char** environ;

namespace tavlin::testing {

class Dummy {
 public:
  Dummy(const TempFolder& dir, const std::string& name) {
    path_ = dir.File(name);
    std::filesystem::copy_file("/bin/sleep", path_, std::filesystem::copy_options::overwrite_existing);
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all);
    char* argv[] = {path_.data(), const_cast<char*>("60"), nullptr};
    EXPECT_EQ(::posix_spawn(&pid_, path_.c_str(), nullptr, nullptr, argv, environ), 0);
    // Wait until /proc shows the new executable rather than the spawner.
    for (int i = 0;
         i < 200 && std::filesystem::read_symlink("/proc/" + std::to_string(pid_) + "/exe").string() != path_; ++i) {
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
  bool StartDetached(const std::string& program, const std::vector<std::string>& args, WindowState state) override {
    started.push_back(program);
    return real_.StartDetached(program, args, state);
  }
  std::vector<std::string> started;

 private:
  LinuxProcesses real_;
  std::vector<int> pids_;
};

}  // namespace tavlin::testing
