#include "core/app/startup.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <utime.h>

#include <filesystem>

#include "core/base/config.h"
#include "core/player/player_settings.h"
#include "support/fake_machine.h"
#include "support/fakes.h"
#include "support/temp_folder.h"

namespace tavlin {
namespace {

using testing::FakeDialogs;
using testing::FakeMachine;
using testing::RecordingShell;
using testing::TempFolder;

struct FakePlayerFactory final : PlayerFactory {
  bool CanCreate() override { return ok; }
  bool ok = true;
};

struct Startup : ::testing::Test {
  TempFolder dir;
  FakePlayerFactory player;
  FakeDialogs dialogs;
  RecordingShell shell;
  FakeMachine machine;
  testing::FakeLog log;
  StartupPorts ports{player, dialogs, shell, machine, log, nullptr};
  ProgramFolder folder{dir.dir()};
  size_t Files() const {
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(dir.dir()), {}));
  }
};

TEST_F(Startup, FirstStartCreatesEverything) {
  EXPECT_EQ(RunMain(folder, ports), StartupResult::ShowMainWindow);
  EXPECT_EQ(dir.Read("date.dat"), "\r\n");
  EXPECT_EQ(dir.Read("date_f.dat"), "\r\n");
  EXPECT_NE(dir.Read("c.htm").find("暂无观看记录"), std::string::npos);
  EXPECT_NE(dir.Read("f.htm").find("暂无观看记录"), std::string::npos);
  EXPECT_EQ(ReadIni(folder.IniPath(), "User", "Name"), "00-1A-2B-3C-4D-5E");
  EXPECT_EQ(dir.Read("i.gif").substr(0, 6), "GIF89a");
  const char* home = std::getenv("HOME");
  EXPECT_EQ(dir.Read(player::kPlayerSettingsFile),
            player::DefaultPlayerSettings(player::DefaultSavePath(home ? home : "")));
  EXPECT_EQ(Files(), 7u);  // with the Qvod folder
  EXPECT_TRUE(dialogs.asked.empty());
}

TEST_F(Startup, MissingPageIsRebuiltFromItsList) {
  RunMain(folder, ports);
  dir.Write("date.dat", "5|%u5929|e|a|1|0|9\r\n\r\n");
  dir.Write("f.htm", "kept");
  std::filesystem::remove(dir.File("c.htm"));
  RunMain(folder, ports);
  EXPECT_NE(dir.Read("c.htm").find("open://1>·天"), std::string::npos);
  EXPECT_EQ(dir.Read("f.htm"), "kept");
  EXPECT_EQ(dir.Read("date.dat"), "5|%u5929|e|a|1|0|9\r\n\r\n") << "existing lists are not touched";
}

TEST_F(Startup, RemovesTheTemporariesOfKilledWrites) {
  dir.Write("date.dat.tmp-k1LLed", "half a list");
  const utimbuf old{::time(nullptr) - 600, ::time(nullptr) - 600};
  ::utime(dir.File("date.dat.tmp-k1LLed").c_str(), &old);
  RunMain(folder, ports);
  EXPECT_FALSE(std::filesystem::exists(dir.File("date.dat.tmp-k1LLed")));
}

TEST_F(Startup, NoPlayerOffersTheDownloadAndTouchesNothing) {
  player.ok = false;
  for (Answer answer : {Answer::No, Answer::Yes}) {
    dialogs.answers = {answer};
    EXPECT_EQ(RunMain(folder, ports), StartupResult::Quit);
    EXPECT_EQ(Files(), 0u);
  }
  ASSERT_EQ(dialogs.asked.size(), 2u);
  EXPECT_EQ(dialogs.asked[0].second, "提示：");
  EXPECT_EQ(dialogs.asked[0].first, "程序检测到您的电脑未安装快播(Qvod)播放器，是否要下载Qvod播放器？");
  EXPECT_EQ(shell.opened, std::vector<std::string>{kPlayerDownloadSite});
}

}  // namespace
}  // namespace tavlin
