// The desktop's remote control on the whole program: its commands act as the
// buttons they stand for, and what it reports follows the player and the window.
#include <gtest/gtest.h>

#include <limits>

#include "support/program_fixture.h"

namespace tavlin {
namespace {

using testing::PlayerFixture;

struct Remote : PlayerFixture {
  desktop::MediaRemote& r() { return program->remote(); }
  std::vector<std::string> Changes() { return r().Refresh(); }
};

using Names = std::vector<std::string>;

TEST(MediaRemote, AnItemsLifeAsTheDesktopSeesItAndCommandsActAsTheButtons) {
  Remote t;
  EXPECT_EQ(t.Changes(), Names{});
  EXPECT_EQ(t.r().status().playbackStatus, "Stopped");
  EXPECT_EQ(t.r().status().trackId, "");

  t.player.duration = 300;
  t.Open("/m/夜色 film.mp4");
  t.Play(20);
  EXPECT_EQ(t.Changes(), (Names{"PlaybackStatus", "Metadata", "CanPlay", "CanSeek"}));
  const desktop::MediaStatus& s = t.r().status();
  EXPECT_EQ(s.playbackStatus, "Playing");
  EXPECT_EQ(s.title, "夜色 film.mp4");
  EXPECT_EQ(s.lengthUs, 300'000'000);
  EXPECT_EQ(s.positionUs, 20'000'000);
  const std::string track = s.trackId;
  EXPECT_EQ(t.Changes(), Names{}) << "a running position is no property change";

  t.r().Pause();
  EXPECT_EQ(t.PlayTip(), "播放");
  EXPECT_EQ(t.Status(), "已暂停");
  EXPECT_EQ(t.dir.Read("date_f.dat"), "夜色 film.mp4|/m/夜色 film.mp4|20\r\n") << "a pause keeps the position";
  t.r().Pause();  // already paused: no toggle back
  EXPECT_EQ(t.Changes(), Names{"PlaybackStatus"});
  EXPECT_EQ(t.r().status().playbackStatus, "Paused");

  t.r().PlayPause();
  EXPECT_EQ(t.PlayTip(), "暂停");
  t.r().Play();  // already playing
  EXPECT_EQ(t.PlayTip(), "暂停");
  t.Play(5);
  EXPECT_EQ(t.Changes(), Names{"PlaybackStatus"});

  // Seeks: relative from where it stands, never before 0, past the end just before it.
  t.r().Seek(-60'000'000);
  EXPECT_EQ(t.player.position, 0);
  t.r().SetPosition(track, 100'000'000);
  EXPECT_EQ(t.player.position, 100);
  t.r().SetPosition("/org/mpris/MediaPlayer2/tavlin/track/999", 7'000'000);
  EXPECT_EQ(t.player.position, 100) << "a stale track is not sought";
  t.r().Seek(900'000'000);
  EXPECT_EQ(t.player.position, 298);
  EXPECT_TRUE(t.r().TakeSeeked());
  EXPECT_FALSE(t.r().TakeSeeked());

  // Volume as the keys set it: the sound comes back on and the knob follows.
  t.Player().bo_but_Click(2);
  t.r().SetVolume(0.55);
  EXPECT_EQ(t.player.volume, 55);
  EXPECT_FALSE(t.player.mute);
  EXPECT_EQ(t.f->bo_but[2].tooltip, "静音");
  EXPECT_EQ(t.Changes(), Names{"Volume"});
  t.r().SetVolume(std::numeric_limits<double>::quiet_NaN());
  EXPECT_EQ(t.player.volume, 55);
  t.r().SetVolume(7.0);
  EXPECT_EQ(t.player.volume, 100);
  EXPECT_EQ(t.Changes(), Names{"Volume"});

  // Another item is another track.
  t.Open("/m/b.mp4");
  t.Play(2);
  EXPECT_EQ(t.Changes(), Names{"Metadata"});
  EXPECT_NE(t.r().status().trackId, track);

  t.r().Stop();
  EXPECT_EQ(t.Status(), "已停止");
  EXPECT_EQ(t.Changes(), Names{"PlaybackStatus"});
}

TEST(MediaRemote, EpisodeNeighboursComeFromTheEpisodeStateAndStepThroughThePortal) {
  Remote t;
  t.player.duration = 300;
  t.Open("/m/a.mp4");
  t.Play(1);
  t.Changes();
  EXPECT_FALSE(t.r().status().canGoNext);
  EXPECT_FALSE(t.r().status().canGoPrevious);

  auto& episodes = t.State().episodes;
  episodes.CurrentEpisodeKey = "123-2-5-abc";
  EXPECT_EQ(t.Changes(), (Names{"CanGoNext", "CanGoPrevious"}));
  episodes.NextEpisodePage = "1";  // the portal has no sixth
  t.Changes();
  EXPECT_FALSE(t.r().status().canGoNext);
  episodes.CurrentEpisodeKey = "123-2-0-abc";
  t.Changes();
  EXPECT_FALSE(t.r().status().canGoPrevious);

  episodes.CurrentEpisodeKey = "123-2-5-abc";
  t.r().Next();
  t.r().Previous();
  ASSERT_EQ(t.http.requests.size(), 2u);
  EXPECT_EQ(t.http.requests[0], "http://127.0.0.1:9/soft/h.asp?id=123&v=2&v1=6");
  EXPECT_EQ(t.http.requests[1], "http://127.0.0.1:9/soft/h.asp?id=123&v=2&v1=4");
  EXPECT_TRUE(t.f->bo_but[7].enabled);
}

TEST(MediaRemote, WithoutAnItemCommandsChangeNothingAndQuitIsTheOrderlyExit) {
  Remote t;
  t.r().PlayPause();
  t.r().Play();
  t.r().Stop();
  t.r().Seek(5'000'000);
  t.r().SetPosition(desktop::kNoTrack, 0);
  EXPECT_EQ(t.player.calls, std::vector<std::string>{});
  EXPECT_EQ(t.Status(), "准备就绪");

  t.player.duration = 100;
  t.Open("/m/a.mp4");
  t.Play(30);
  t.r().Quit();
  EXPECT_EQ(t.application.quits, 1);
  EXPECT_EQ(t.dir.Read("date_f.dat"), "a.mp4|/m/a.mp4|30\r\n") << "the exit saved where it stood";
}

TEST(MediaRemote, AFileFromTheDesktopIsPlayedAsASecondStartsWouldBe) {
  Remote t;
  t.f->ShowWindow(false);
  t.r().OpenFile("/m/a b/c.mp4");
  EXPECT_EQ(t.player.url, "/m/a b/c.mp4");
  EXPECT_TRUE(t.f->window.visible);
  EXPECT_EQ(t.f->bo_name.caption, "c.mp4");
  t.r().Raise();
  EXPECT_TRUE(t.f->window.visible);
}

}  // namespace
}  // namespace tavlin
