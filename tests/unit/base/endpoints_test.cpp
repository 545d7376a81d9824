#include "core/base/endpoints.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <string>

#include "core/base/program_folder.h"
#include "support/temp_folder.h"

namespace tavlin {
namespace {

TEST(Portal, EveryAddressIsBasePlusPath) {
  const Portal portal{"http://p/soft/"};
  const std::pair<std::string, std::string> cases[] = {
      {portal.Home(), "http://p/soft/"},
      {portal.HomeAgain(), "http://p/soft/?30"},
      {portal.Section("/tv"), "http://p/soft//tv"},
      {portal.EpisodeRequest("123", "2", "6"), "http://p/soft/h.asp?id=123&v=2&v1=6"},
      {portal.EpisodePage("123-2-5-abc-26"), "http://p/soft/pp.htm?123-2-5-abc-26"},
      {portal.PagePlayer("123-2-5-abc"), "http://p/soft/play.htm?123-2-5-abc"},
      {portal.Stats("00-1A-2B-3C-4D-5E"), "http://p/soft/tj/tj.asp?id=00-1A-2B-3C-4D-5E"},
      // An edited id stays one value of the address.
      {portal.Stats("1&v=2#x y/用"), "http://p/soft/tj/tj.asp?id=1%26v%3D2%23x%20y%2F%E7%94%A8"},
      {portal.BannerAd(), "http://p/soft/js/ads/softad.html"},
      {portal.PlayerAd(), "http://p/soft/js/ads/qvodad.html"},
      {portal.FloatingAd(), "http://p/soft//js/ads/fudong.html"},
      {portal.UpdateFile(), "http://p/soft/lib/wen.txt"},
      {portal.Setup(), "http://p/soft/update/setup.exe"},
      {portal.Updater(), "http://p/soft/update/update.exe"},
  };
  for (const auto& [formed, expected] : cases) EXPECT_EQ(formed, expected);
}

TEST(Portal, BaseComesFromTheEnvironment) {
  const char* old = getenv("TAVLIN_PORTAL");
  const std::string saved = old ? old : "";
  unsetenv("TAVLIN_PORTAL");
  EXPECT_EQ(DefaultPortalBase(), "http://127.0.0.1:47300/soft/");
  setenv("TAVLIN_PORTAL", "http://127.0.0.1:5/soft/", 1);
  EXPECT_EQ(DefaultPortalBase(), "http://127.0.0.1:5/soft/");
  if (old) setenv("TAVLIN_PORTAL", saved.c_str(), 1);
  else unsetenv("TAVLIN_PORTAL");
}

// Sets a variable for one scope and puts back what was there, on every way out.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = getenv(name)) saved_ = old;
    if (value) setenv(name, value, 1);
    else unsetenv(name);
  }
  ~ScopedEnv() {
    if (saved_) setenv(name_, saved_->c_str(), 1);
    else unsetenv(name_);
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<std::string> saved_;
};

// Runs LocateProgramFolder in a child that cannot write to a folder of mode 0555:
// an ordinary user as it is, root as nobody, since root may write anywhere. Returns
// the folder found, or what went wrong.
std::string LocateAsUser(const std::string& executableDir) {
  int out[2];
  if (pipe(out) != 0) return "pipe failed";
  const pid_t child = fork();
  if (child == 0) {
    close(out[0]);
    std::string answer;
    if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)) {
      answer = "cannot become nobody";
    } else if (access(executableDir.c_str(), W_OK) == 0) {
      answer = "the folder is still writable";
    } else {
      answer = LocateProgramFolder(executableDir).dir;
    }
    const ssize_t written = write(out[1], answer.data(), answer.size());
    _exit(written == static_cast<ssize_t>(answer.size()) ? 0 : 1);
  }
  close(out[1]);
  std::string answer;
  char buf[512];
  for (ssize_t n; (n = read(out[0], buf, sizeof buf)) > 0;) answer.append(buf, static_cast<size_t>(n));
  close(out[0]);
  int status = 0;
  waitpid(child, &status, 0);
  return answer;
}

TEST(ProgramFolder, HomeVariableThenExecutableFolderThenDataFolder) {
  testing::TempFolder exeDir, home, data;
  ScopedEnv homeVariable("TAVLIN_HOME", (home.dir() + "/sub/").c_str());
  ScopedEnv dataHome("XDG_DATA_HOME", nullptr);
  ScopedEnv userHome("HOME", nullptr);

  EXPECT_EQ(LocateProgramFolder(exeDir.dir()).dir, home.dir() + "/sub");
  EXPECT_TRUE(std::filesystem::is_directory(home.dir() + "/sub"));

  unsetenv("TAVLIN_HOME");
  EXPECT_EQ(LocateProgramFolder(exeDir.dir()).dir, exeDir.dir());
  EXPECT_EQ(LocateProgramFolder(exeDir.dir()).IniPath(), exeDir.dir() + "/config.ini");

  // A folder its user cannot write: the data folder, made for that user.
  namespace fs = std::filesystem;
  fs::permissions(exeDir.dir(), fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                    fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
  fs::permissions(data.dir(), fs::perms::all);
  setenv("XDG_DATA_HOME", (data.dir() + "/").c_str(), 1);
  EXPECT_EQ(LocateAsUser(exeDir.dir()), data.dir() + "/tavlin");
  EXPECT_TRUE(fs::is_directory(data.dir() + "/tavlin"));
  // Without XDG_DATA_HOME, the data folder under the home folder.
  unsetenv("XDG_DATA_HOME");
  setenv("HOME", data.dir().c_str(), 1);
  EXPECT_EQ(LocateAsUser(exeDir.dir()), data.dir() + "/.local/share/tavlin");
  EXPECT_TRUE(fs::is_directory(data.dir() + "/.local/share/tavlin"));
  fs::permissions(exeDir.dir(), fs::perms::owner_all);

  setenv("XDG_DATA_HOME", data.dir().c_str(), 1);
  EXPECT_EQ(LocateProgramFolder(exeDir.dir() + "/does-not-exist").dir, data.dir() + "/tavlin");

  // Installed under a prefix, the writable bin/ of a root is still not the user's folder.
  exeDir.Write("share/applications/org.tavlin.tavlin.desktop", "[Desktop Entry]\n");
  fs::create_directories(exeDir.dir() + "/bin");
  EXPECT_EQ(LocateProgramFolder(exeDir.dir() + "/bin").dir, data.dir() + "/tavlin");
}

}  // namespace
}  // namespace tavlin
