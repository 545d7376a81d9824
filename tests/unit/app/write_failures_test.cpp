// Files that cannot be written: the old file stays as it was, no temporary is left
// behind, every failure is logged and the user hears of it once.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/shell/save_failures.h"
#include "support/failing_files.h"
#include "support/program_fixture.h"

namespace tavlin {
namespace {

using testing::FailingFiles;
using testing::PlayerFixture;
using testing::ProgramFixture;

size_t FilesIn(const std::string& dir) {
  return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(dir), {}));
}

int SaveBalloons(const std::vector<std::string>& balloons) {
  int n = 0;
  for (const auto& b : balloons) n += b.rfind(shell::kSaveFailedText, 0) == 0;
  return n;
}

TEST(WriteFailures, ABrokenDiskKeepsTheListAndTheSettingsAndIsReportedOnce) {
  PlayerFixture t;
  t.player.duration = 100;
  t.Open("/m/a.mp4");
  t.Play(12);
  t.Player().bo_but_Click(1);
  const std::string list = t.dir.Read("date_f.dat");
  const std::string settings = t.dir.Read("config.ini");
  ASSERT_EQ(list, "a.mp4|/m/a.mp4|12\r\n");
  const size_t files = FilesIn(t.dir.dir());

  FailingFiles disk;
  disk.RefuseReplacing();
  t.Player().bo_but_Click(0);
  t.Play(30);
  t.Player().bo_but_Click(1);  // the position would go into the list
  t.f->p_p(1);                 // the skin would go into the settings
  t.f->npc_Click(15);
  t.f->jbi_Click();  // compact mode and back: the size is read, not written
  EXPECT_GT(disk.refused(), 1);
  disk.Heal();

  EXPECT_EQ(t.dir.Read("date_f.dat"), list);
  EXPECT_EQ(t.dir.Read("config.ini"), settings);
  EXPECT_EQ(FilesIn(t.dir.dir()), files) << "no temporary file is left behind";
  EXPECT_EQ(SaveBalloons(t.Balloons()), 1);
  // The position kept during playback failed once (then quietly), the stop once more.
  ASSERT_EQ(t.log.lines.size(), 3u);
  EXPECT_EQ(t.log.lines[0], "cannot write " + t.dir.File("date_f.dat") + "; the old file is kept");
  EXPECT_EQ(t.log.lines[1], t.log.lines[0]);
  EXPECT_EQ(t.log.lines[2], "cannot write " + t.dir.File("config.ini") + "; the old file is kept");

  // Healed, the next stop saves again.
  t.Player().bo_but_Click(0);
  t.Play(3);
  t.Player().bo_but_Click(1);
  EXPECT_NE(t.dir.Read("date_f.dat"), list);
}

TEST(WriteFailures, AReadOnlyFolderIsReportedOnceTheWindowIsUp) {
  ProgramFixture fx;
  fx.dir.Write("date.dat", "\r\n");
  fx.dir.Write("date_f.dat", "\r\n");
  fx.SetIni("Skin", "Num", "0");
  FailingFiles disk;
  disk.RefuseNewFiles();
  auto& f = fx.Load();
  f.npc_Click(4);  // pinning is not a setting: nothing to write
  f.p_p(1);
  EXPECT_EQ(fx.Ini("Skin", "Num"), "0");
  EXPECT_EQ(SaveBalloons(fx.tray.balloons), 1);
  EXPECT_NE(fx.tray.balloons[0].find(fx.dir.dir()), std::string::npos);
  EXPECT_EQ(fx.log.lines.size(), 2u);
}

}  // namespace
}  // namespace tavlin
