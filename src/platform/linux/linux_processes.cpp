#include "platform/linux/linux_processes.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

extern char** environ;

namespace tavlin {
namespace {

std::string BaseName(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ReadLink(const std::string& path) {
  std::error_code ec;
  const auto target = std::filesystem::read_symlink(path, ec);
  return ec ? std::string() : target.string();
}

std::string FirstArgument(const std::string& procDir) {
  std::ifstream in(procDir + "/cmdline", std::ios::binary);
  std::string arg;
  std::getline(in, arg, '\0');
  return arg;
}

}  // namespace

std::vector<ProcessInfo> LinuxProcesses::List() {
  std::vector<ProcessInfo> list;
  std::error_code ec;
  for (std::filesystem::directory_iterator it("/proc", ec), end; !ec && it != end; it.increment(ec)) {
    const std::string entry = it->path().filename().string();
    if (entry.empty() || !std::all_of(entry.begin(), entry.end(), ::isdigit)) continue;
    ProcessInfo info;
    info.pid = std::atoi(entry.c_str());
    const std::string dir = it->path().string();
    std::string exe = ReadLink(dir + "/exe");
    const std::string deleted = " (deleted)";
    if (exe.size() > deleted.size() && exe.ends_with(deleted)) exe.resize(exe.size() - deleted.size());
    const std::string argv0 = FirstArgument(dir);
    // An interpreter running a script is known by the script's name, as a user sees it.
    if (!exe.empty() && (argv0.empty() || BaseName(argv0) == BaseName(exe))) {
      info.name = BaseName(exe);
      info.executablePath = exe;
    } else if (!argv0.empty()) {
      info.name = BaseName(argv0);
      info.executablePath = argv0.find('/') != std::string::npos ? argv0 : exe;
    } else {
      std::ifstream comm(dir + "/comm");
      std::getline(comm, info.name);
    }
    if (!info.name.empty()) list.push_back(std::move(info));
  }
  std::sort(list.begin(), list.end(), [](const ProcessInfo& a, const ProcessInfo& b) { return a.pid < b.pid; });
  return list;
}

bool LinuxProcesses::Terminate(int pid) {
  if (pid <= 0 || pid == ::getpid()) return false;
  return ::kill(pid, SIGKILL) == 0;
}

bool LinuxProcesses::StartDetached(const std::string& program, const std::vector<std::string>& args,
                                   WindowState /*state: window managers place new windows themselves*/) {
  std::vector<std::string> all{program};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  // Started in a session of its own, so it outlives us and is not our child to reap.
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);
  pid_t pid = 0;
  const int rc = ::posix_spawn(&pid, program.c_str(), nullptr, &attr, argv.data(), environ);
  posix_spawnattr_destroy(&attr);
  if (rc != 0) return false;
  // Reap it when it ends so it never lingers as a zombie under us.
  std::thread([pid] { ::waitpid(pid, nullptr, 0); }).detach();
  return true;
}

}  // namespace tavlin
