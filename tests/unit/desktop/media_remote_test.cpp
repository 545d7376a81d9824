// The desktop's remote control on the whole program: its commands act as the
// buttons they stand for, and what it reports follows the player and the window.
#include <gtest/gtest.h>

#include <limits>
#include <optional>

#include "core/forms/keys.h"

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
  EXPECT_EQ(t.r().TakeSeek(), 298'000'000) << "where the last jump landed";
  EXPECT_EQ(t.r().TakeSeek(), std::nullopt);

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

TEST(MediaRemote, JumpsMadeInTheWindowAreSeenAndPlainPlaybackIsNot) {
  Remote t;
  t.player.duration = 600;
  t.Open("/m/a.mp4");
  t.Play(30);
  t.Changes();
  EXPECT_EQ(t.r().TakeSeek(), std::nullopt) << "opening and playing on are no jumps";

  t.Key(forms::kKeyRight);  // ten seconds on
  EXPECT_EQ(t.r().TakeSeek(), 40'000'000);
  for (int i = 0; i < 5; ++i) t.Key(forms::kKeyLeft);
  EXPECT_EQ(t.r().TakeSeek(), 0) << "back before the start lands at 0";

  // The seek bar: pressed and let go at the middle of the track.
  t.Play(2);
  t.Mouse(forms::InputEvent::MouseDown, {"gunt", std::nullopt}, forms::kLeftButton, t.f->gunt.w / 2);
  t.Mouse(forms::InputEvent::MouseUp, {"gunt", std::nullopt}, forms::kLeftButton, t.f->gunt.w / 2);
  const std::optional<int64_t> jump = t.r().TakeSeek();
  ASSERT_TRUE(jump);
  EXPECT_NEAR(static_cast<double>(*jump), 300e6, 3e6);
  EXPECT_EQ(*jump, int64_t{t.player.position} * 1'000'000);

  // Resuming a list item at its saved place is a jump too.
  t.r().Stop();
  t.player.position = 0;
  t.State().playback.ResumePosition = 250;
  t.State().playback.ResumeApplied = 0;
  t.r().Play();
  t.Play(1);
  EXPECT_EQ(t.r().TakeSeek(), 250'000'000);
}

TEST(MediaRemote, AnItemIsDescribedOnceWithAnAddressTheDesktopCanOpen) {
  Remote t;
  t.player.duration = 0;  // unknown while the item opens
  t.Open("/m/夜色 film#1.mp4");
  t.player.state = kStatePreparing;
  EXPECT_EQ(t.Changes(), (Names{"PlaybackStatus", "CanPlay"}));
  EXPECT_EQ(t.r().status().trackId, "") << "not described before the player knows it";
  t.Play(1);
  EXPECT_EQ(t.Changes(), Names{});
  t.player.duration = 90;
  t.player.state = kStatePlaying;
  t.Play(1);
  EXPECT_EQ(t.Changes(), (Names{"Metadata", "CanSeek"}));
  EXPECT_EQ(t.r().status().url, "file:///m/%E5%A4%9C%E8%89%B2%20film%231.mp4");
  EXPECT_EQ(t.r().status().lengthUs, 90'000'000);
  t.Play(5);
  EXPECT_EQ(t.Changes(), Names{});

  // An episode of the portal: its page, made a valid address (the title comes
  // escaped the portal's way, with "%u").
  t.player.duration = 0;
  t.player.url = "qvod://1234|ABCD|夜色01.rmvb|";
  t.player.state = kStatePreparing;
  t.State().episodes.CurrentEpisodeKey = "77-2-0-%u591C%u8272 x";
  t.f->bo_name.SetCaption("夜色-第01集");
  EXPECT_EQ(t.Changes(), (Names{"CanGoNext", "CanSeek"}));
  EXPECT_EQ(t.r().status().title, "夜色 film#1.mp4") << "the item before, until this one is known";
  t.player.state = kStatePlaying;  // a stream of unknown length plays
  EXPECT_EQ(t.Changes(), Names{"Metadata"});
  EXPECT_EQ(t.r().status().title, "夜色-第01集");
  EXPECT_EQ(t.r().status().url, "http://127.0.0.1:9/soft/pp.htm?77-2-0-%25u591C%25u8272%20x-0");

  // A download address with no page says nothing rather than something false.
  t.State().episodes.CurrentEpisodeKey = "0";
  t.Changes();
  EXPECT_EQ(t.r().status().url, "");
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
  episodes.NextEpisodePage = state::NextEpisode::FromText("1");  // the portal has no sixth
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
