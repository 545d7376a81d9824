// Where the playing item stands reaches its list record while it plays, so a
// program killed mid-item resumes close to where it was.
#include <gtest/gtest.h>

#include "core/base/text.h"
#include "support/failing_files.h"
#include "support/program_fixture.h"

namespace tavlin {
namespace {

using testing::FailingFiles;
using testing::PlayerFixture;

// The last field of the record whose line holds key.
int RecordedPosition(const std::string& list, const std::string& key) {
  for (const std::string& line : ReadListLines(list)) {
    if (line.find(key) == std::string::npos) continue;
    return ToNumber(line.substr(line.rfind('|') + 1));
  }
  return -1;
}

TEST(KeepPosition, TheRecordNeverLagsMoreThanFifteenSecondsAndAPauseIsExact) {
  PlayerFixture t;
  t.player.duration = 600;
  t.Open("/m/film.mp4");
  int writes = 0;
  int last = 0;
  for (int second = 0; second < 120; ++second) {
    t.Play(1);
    const int recorded = RecordedPosition(t.dir.Read("date_f.dat"), "/m/film.mp4");
    ASSERT_LE(t.player.position - recorded, player::kKeepPositionSeconds) << "at " << t.player.position;
    ASSERT_LE(recorded, t.player.position);
    writes += recorded != last;
    last = recorded;
  }
  EXPECT_LE(writes, 120 / player::kKeepPositionSeconds) << "the list is not rewritten every second";

  t.Player().bo_but_Click(0);  // pause
  EXPECT_EQ(RecordedPosition(t.dir.Read("date_f.dat"), "/m/film.mp4"), t.player.position);
  const std::string paused = t.dir.Read("date_f.dat");
  t.clock.Advance(60000);
  EXPECT_EQ(t.dir.Read("date_f.dat"), paused) << "nothing is written while paused";
}

TEST(KeepPosition, AResumedItemKeepsItsSavedPlaceUntilPlaybackPassesIt) {
  PlayerFixture t;
  t.dir.Write("date.dat", "123|abc|5|qvod%3A//9%7CAB%7Cabc5.rmvb%7C|2|5|420\r\n");
  t.player.duration = 3000;
  ASSERT_TRUE(t.Follow("Web3", "open://1/", t.dir.File("c.htm")));
  // The player starts at the beginning; the first playing poll seeks to 420.
  for (int second = 0; second < 40; ++second) {
    t.Play(1);
    ASSERT_GE(RecordedPosition(t.dir.Read("date.dat"), "123|"), 420) << "at " << t.player.position;
  }
  EXPECT_GE(RecordedPosition(t.dir.Read("date.dat"), "123|"), 420 + player::kKeepPositionSeconds);
  const std::string list = t.dir.Read("date.dat");
  EXPECT_EQ(list.substr(0, list.rfind('|') + 1), "123|abc|5|qvod%3A//9%7CAB%7Cabc5.rmvb%7C|2|5|")
      << "same record format";
}

TEST(KeepPosition, ABrokenDiskIsReportedOnceAndTheSavingResumesWhenHealed) {
  PlayerFixture t;
  t.player.duration = 600;
  t.Open("/m/a.mp4");
  t.Play(5);
  {
    FailingFiles disk;
    disk.RefuseReplacing();
    t.Play(90);
    EXPECT_GE(disk.refused(), 5);
  }
  EXPECT_EQ(t.log.lines.size(), 1u);
  EXPECT_EQ(t.dir.Read("date_f.dat"), "a.mp4|/m/a.mp4|0\r\n\r\n");
  t.Play(20);
  EXPECT_GE(RecordedPosition(t.dir.Read("date_f.dat"), "/m/a.mp4"), 95);
}

}  // namespace
}  // namespace tavlin
