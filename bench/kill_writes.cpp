// Kills a writer of the local list at random moments, many times over, and counts
// what a user would lose: lists torn or gone, and temporaries left behind (and
// whether start-up's clean-up takes them). Not part of the test suite:
//   build/bench/tavlin_kill_writes [rounds] [folder]
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utime.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

#include "core/base/files.h"
#include "core/base/text.h"
#include "core/lists/list_files.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 1000;
  const std::string dir = argc > 2 ? argv[2] : (fs::temp_directory_path() / "tavlin-kill-writes").string();
  fs::remove_all(dir);
  fs::create_directories(dir);
  const std::string list = dir + "/date_f.dat";
  if (!tavlin::WriteFileAtomically(list, "start.mp4|/m/start.mp4|0\r\n")) return 1;

  std::mt19937 random(12345);
  int torn = 0, lost = 0, leftovers = 0;
  for (int round = 0; round < rounds; ++round) {
    const pid_t child = ::fork();
    if (child == 0) {
      tavlin::ListStore lists(dir, nullptr);
      for (int i = 0;; ++i) {
        const std::string name = "film " + std::to_string(round) + "-" + std::to_string(i) + ".mp4";
        (void)lists.AddLocalEntry(name, "/m/" + name, i);
      }
    }
    ::usleep(std::uniform_int_distribution<int>(100, 20000)(random));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);

    const auto bytes = tavlin::ReadWholeFile(list);
    if (!bytes) {
      ++lost;
    } else {
      for (const std::string& line : tavlin::ReadListLines(*bytes)) {
        if (!line.empty() && tavlin::Split(line, "|").size() != 3) {
          ++torn;
          break;
        }
      }
    }
  }
  for (const auto& e : fs::directory_iterator(dir)) {
    if (e.path().filename().string().find(".tmp-") == std::string::npos) continue;
    ++leftovers;
    const utimbuf old{::time(nullptr) - 3600, ::time(nullptr) - 3600};
    ::utime(e.path().c_str(), &old);
  }
  const int removed = tavlin::RemoveStaleTemporaries(dir);
  std::printf("rounds %d, lists torn %d, lists lost %d, temporaries left %d, removed at start %d\n", rounds, torn, lost,
              leftovers, removed);
  fs::remove_all(dir);
  return torn == 0 && lost == 0 && removed == leftovers ? 0 : 1;
}
