// The tavlin-portal program itself: start-up line, port choice, clean exit.
#include <gtest/gtest.h>
#include <httplib.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <regex>
#include <string>

namespace {

struct Started {
  pid_t pid = -1;
  FILE* out = nullptr;
  std::string first_line;
};

// Starts the program with its stdout on a pipe and reads the first line.
Started start_portal(std::vector<std::string> args) {
  int fds[2];
  if (::pipe(fds) != 0) return {};
  Started started;
  started.pid = ::fork();
  if (started.pid == 0) {
    ::dup2(fds[1], STDOUT_FILENO);
    ::close(fds[0]);
    ::close(fds[1]);
    std::vector<char*> argv{const_cast<char*>(TAVLIN_PORTAL_EXE)};
    for (auto& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    ::execv(TAVLIN_PORTAL_EXE, argv.data());
    ::_exit(127);
  }
  ::close(fds[1]);
  started.out = ::fdopen(fds[0], "r");
  char line[256] = {};
  if (std::fgets(line, sizeof line, started.out)) started.first_line = line;
  return started;
}

int stop_portal(Started& started) {
  int status = -1;
  if (started.pid > 0) {
    ::kill(started.pid, SIGTERM);
    ::waitpid(started.pid, &status, 0);
  }
  if (started.out) std::fclose(started.out);
  return status;
}

TEST(PortalProgram, PrintsItsBaseFirstAndStopsCleanlyOnTerm) {
  const auto begin = std::chrono::steady_clock::now();
  Started portal = start_portal({"--port", "0", "--media", "/nonexistent"});
  const auto took = std::chrono::steady_clock::now() - begin;
  std::smatch match;
  const std::string line = portal.first_line;
  ASSERT_TRUE(std::regex_match(line, match, std::regex(R"(http://127\.0\.0\.1:(\d+)/soft/\n)"))) << line;
  EXPECT_LT(took, std::chrono::seconds(1));
  httplib::Client client("127.0.0.1", std::stoi(match[1]));
  auto res = client.Get("/soft/h.asp?id=101&v=1&v1=99");
  ASSERT_TRUE(res);
  EXPECT_EQ(res->body, "1");
  const int status = stop_portal(portal);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

TEST(PortalProgram, ABusyPortIsAnErrorAndBadOptionsAreRefused) {
  Started first = start_portal({"--port", "0", "--media", "/nonexistent"});
  std::smatch match;
  const std::string line = first.first_line;
  ASSERT_TRUE(std::regex_search(line, match, std::regex(R"(:(\d+)/)")));
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--port", match[1]}, {"--port", "70000"}, {"--fault", "home=odd"}, {"--bogus"}}) {
    Started second = start_portal(args);
    EXPECT_EQ(second.first_line, "") << args[0];
    int status = -1;
    ::waitpid(second.pid, &status, 0);
    std::fclose(second.out);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 0) << args[0];
  }
  stop_portal(first);
}

}  // namespace
