// The real program's first start, watched from outside with inotify.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <thread>
#include <vector>

#include "support/temp_folder.h"

extern char** environ;

namespace {

using tavlin::testing::TempFolder;

class Program {
 public:
  Program(const std::string& home, std::vector<std::string> extraEnv, const std::string& file = "") {
    // With the automation channel on, the program's power service only records, so
    // nothing started here can ever switch the machine off.
    std::vector<std::string> env{"TAVLIN_HOME=" + home, "QT_QPA_PLATFORM=offscreen", "QTWEBENGINE_DISABLE_SANDBOX=1",
                                 "TAVLIN_PORTAL=http://127.0.0.1:9/soft/", "TAVLIN_AUTOMATION=" + home + ".sock"};
    socket_ = home + ".sock";
    for (char** e = environ; *e; ++e) {
      const std::string kv = *e;
      if (kv.rfind("TAVLIN_", 0) != 0 && kv.rfind("QT_QPA_PLATFORM=", 0) != 0) env.push_back(kv);
    }
    env.insert(env.end(), extraEnv.begin(), extraEnv.end());
    std::vector<char*> envp;
    for (std::string& kv : env) envp.push_back(kv.data());
    envp.push_back(nullptr);
    std::string exe = TAVLIN_EXE;
    std::string arg = file;
    char* argv[] = {exe.data(), file.empty() ? nullptr : arg.data(), nullptr};
    EXPECT_EQ(::posix_spawn(&pid_, exe.c_str(), nullptr, nullptr, argv, envp.data()), 0);
  }
  ~Program() {
    Stop();
    ::unlink(socket_.c_str());
  }
  void Stop() {
    ::kill(pid_, SIGTERM);
    for (int i = 0; i < 100; ++i) {
      if (::waitpid(pid_, nullptr, WNOHANG) == pid_) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }

 private:
  pid_t pid_ = 0;
  std::string socket_;
};

// Names in the order they first appeared in the folder under their final name
// (files are written to a temporary name and renamed into place).
class FolderWatch {
 public:
  explicit FolderWatch(const std::string& dir) {
    fd_ = ::inotify_init1(IN_NONBLOCK);
    ::inotify_add_watch(fd_, dir.c_str(), IN_CREATE | IN_MOVED_TO | IN_CLOSE_WRITE);
  }
  ~FolderWatch() { ::close(fd_); }

  // Collects events until name has appeared or the time is up.
  bool WaitFor(const std::string& name, std::chrono::seconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
      if (seen_.count(name)) return true;
      pollfd p{fd_, POLLIN, 0};
      if (::poll(&p, 1, 100) <= 0) continue;
      alignas(inotify_event) char buf[4096];
      const ssize_t n = ::read(fd_, buf, sizeof buf);
      for (ssize_t i = 0; i < n;) {
        const auto* ev = reinterpret_cast<const inotify_event*>(buf + i);
        const std::string file = ev->len ? ev->name : "";
        if (file.find(".tmp-") == std::string::npos && !file.empty() && seen_.insert(file).second) {
          order_.push_back(file);
        }
        i += static_cast<ssize_t>(sizeof(inotify_event) + ev->len);
      }
    }
    return seen_.count(name) > 0;
  }
  const std::vector<std::string>& order() const { return order_; }

 private:
  int fd_ = -1;
  std::set<std::string> seen_;
  std::vector<std::string> order_;
};

TEST(FirstStart, CreatesSettingsListsAndPagesInOrder) {
  TempFolder dir;
  FolderWatch watch(dir.dir());
  Program program(dir.dir(), {});
  ASSERT_TRUE(watch.WaitFor("f.htm", std::chrono::seconds(60)));
  std::vector<std::string> order;
  for (const std::string& name : watch.order()) {
    if (name != "i.gif" && name != "Qvod") order.push_back(name);
  }
  EXPECT_EQ(order, (std::vector<std::string>{"config.ini", "date.dat", "date_f.dat", "c.htm", "f.htm"}));
  EXPECT_EQ(dir.Read("date.dat"), "\r\n");
  EXPECT_EQ(dir.Read("date_f.dat"), "\r\n");
  const std::string ini = dir.Read("config.ini");
  EXPECT_EQ(ini.rfind("[main]\r\nName=Tavlin\r\n[User]\r\nName=", 0), 0u);
  EXPECT_NE(ini.find("\r\n[Skin]\r\nNum=0\r\n[Ver]\r\nName=3.0\r\n[S_q]\r\nts=3\r\nquit=2\r\nqvodk=2\r\n"
                     "s_size=2\r\nh_w=13560\r\nh_h=8475\r\ns_h=2\r\ns_bo=2\r\ns_jd=2\r\nqvodqi=2\r\ns_pao=2\r\n"),
            std::string::npos);
  EXPECT_NE(dir.Read("c.htm").find("暂无观看记录"), std::string::npos);
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// What the environment watch noted of a start (with file, when not empty) until
// `until` was among its notes, and a second more.
std::string WatchedStart(const TempFolder& dir, const std::string& file, const std::string& until) {
  const std::string log = dir.dir() + ".env";
  {
    Program program(dir.dir(), {std::string("LD_PRELOAD=") + TAVLIN_ENV_WATCH, "TAVLIN_ENV_WATCH_LOG=" + log}, file);
    for (int i = 0; i < 300 && ReadAll(log).find(until) == std::string::npos; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    std::this_thread::sleep_for(std::chrono::seconds(1));
  }
  std::string notes = ReadAll(log);
  ::unlink(log.c_str());
  return notes;
}

// mpv's threads read the environment whenever they like, and glibc's getenv walks
// an array that a setenv adding a name may free: a name added or removed while mpv
// runs can crash the program. Without a media file the web engine, which writes to
// the environment as it starts, starts before mpv (which waits for the first page,
// here one that fails).
TEST(FirstStart, EnvironmentIsSettledBeforeThePlayerStarts) {
  TempFolder dir;
  const std::string notes = WatchedStart(dir, "", "mpv_initialize\n");
  ASSERT_NE(notes.find("dlopen libmpv\n"), std::string::npos) << "the watch was not in place: " << notes;
  ASSERT_NE(notes.find("mpv_initialize\n"), std::string::npos) << "the watch was not in place: " << notes;
  EXPECT_EQ(notes.find("env "), std::string::npos) << notes;
}

// With a media file mpv comes first and the web engine starts while it runs (here
// once the pages have waited their longest for a first frame the file never gives):
// the engine's write only replaces a value the program set beforehand.
TEST(FirstStart, WithAMediaFileTheEngineStartingBesideMpvOnlyReplacesAValue) {
  TempFolder dir;
  dir.Write("clip.mp4", std::string(4096, 'x'));
  const std::string notes = WatchedStart(dir, dir.File("clip.mp4"), " force_s3tc_enable");
  ASSERT_NE(notes.find("mpv_initialize\n"), std::string::npos) << "the watch was not in place: " << notes;
  ASSERT_NE(notes.find("env replace force_s3tc_enable"), std::string::npos) << "the engine did not start: " << notes;
  for (const char* change : {"env setenv", "env putenv", "env unsetenv", "env clearenv"}) {
    EXPECT_EQ(notes.find(change), std::string::npos) << notes;
  }
}

TEST(FirstStart, WithoutAPlayerNoFileIsTouched) {
  TempFolder dir;
  {
    Program program(dir.dir(), {"TAVLIN_NO_PLAYER=1"});
    // The program now asks whether to fetch the player; whatever the answer, it
    // writes nothing.
    std::this_thread::sleep_for(std::chrono::seconds(3));
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.dir()), {}), 0);
}

}  // namespace
