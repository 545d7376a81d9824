#include "core/base/endpoints.h"

#include <gtest/gtest.h>
#include <stdlib.h>

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
  if (old) setenv("TAVLIN_PORTAL", saved.c_str(), 1); else unsetenv("TAVLIN_PORTAL");
}

TEST(ProgramFolder, HomeVariableThenExecutableFolderThenDataFolder) {
  testing::TempFolder exeDir, home, data;
  const char* old = getenv("TAVLIN_HOME");
  const std::string saved = old ? old : "";

  setenv("TAVLIN_HOME", (home.dir() + "/sub/").c_str(), 1);
  EXPECT_EQ(LocateProgramFolder(exeDir.dir()).dir, home.dir() + "/sub");
  EXPECT_TRUE(std::filesystem::is_directory(home.dir() + "/sub"));

  unsetenv("TAVLIN_HOME");
  EXPECT_EQ(LocateProgramFolder(exeDir.dir()).dir, exeDir.dir());
  EXPECT_EQ(LocateProgramFolder(exeDir.dir()).IniPath(), exeDir.dir() + "/config.ini");

  if (geteuid() != 0) {  // root may write anywhere, so only a user sees the fallback
    std::filesystem::permissions(exeDir.dir(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    setenv("XDG_DATA_HOME", data.dir().c_str(), 1);
    EXPECT_EQ(LocateProgramFolder(exeDir.dir()).dir, data.dir() + "/tavlin");
    std::filesystem::permissions(exeDir.dir(), std::filesystem::perms::owner_all);
  }
  EXPECT_EQ(LocateProgramFolder(exeDir.dir() + "/does-not-exist").dir.ends_with("/tavlin"), true);

  // Installed under a prefix, the writable bin/ of a root is still not the user's folder.
  exeDir.Write("share/applications/org.tavlin.tavlin.desktop", "[Desktop Entry]\n");
  std::filesystem::create_directories(exeDir.dir() + "/bin");
  setenv("XDG_DATA_HOME", data.dir().c_str(), 1);
  EXPECT_EQ(LocateProgramFolder(exeDir.dir() + "/bin").dir, data.dir() + "/tavlin");
  if (old) setenv("TAVLIN_HOME", saved.c_str(), 1);
}

}  // namespace
}  // namespace tavlin
