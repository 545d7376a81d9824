// The stand-in on generated clips, with no picture and no sound.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <filesystem>
#include <fstream>

#include "test_support.h"
#include "ui/player/mpv_player_control.h"

namespace tavlin {
namespace {

using test::WaitFor;

class MpvPlayerControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    player_ = MpvPlayerControl::Create({.null_output = true});
    ASSERT_TRUE(player_);
  }
  // Loads the clip, plays it and waits for "playing" with a known duration.
  void StartClip(int seconds) {
    player_->SetUrl(test::GeneratedClip(seconds).toStdString());
    player_->Play();
    ASSERT_TRUE(WaitFor([&] { return player_->PlayState() == kStatePlaying && player_->Duration() > 0; }))
        << "state " << player_->PlayState();
  }
  int State() const { return player_->PlayState(); }

  std::unique_ptr<MpvPlayerControl> player_;
};

TEST_F(MpvPlayerControlTest, NothingLoadedIsIdleAndCommandsDoNothing) {
  EXPECT_EQ(player_->Url(), "");
  EXPECT_EQ(State(), kStateIdle);
  player_->Play();
  player_->Pause();
  player_->Stop();
  player_->SetPosition(30);
  EXPECT_EQ(State(), kStateIdle);
  EXPECT_EQ(player_->Position(), 0);
  EXPECT_EQ(player_->Duration(), 0);
  EXPECT_EQ(player_->DownloadProgress(), 0);
  EXPECT_EQ(player_->DownloadSpeed(), 0);
}

// mpv's own scripts would run from the start on threads of their own, loading fonts
// and reading the environment while the program is still setting it up.
TEST_F(MpvPlayerControlTest, RunsNoScriptThreads) {
  auto scriptThreads = [] {
    int n = 0;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
      std::ifstream comm(task.path() / "comm");
      std::string name;
      std::getline(comm, name);
      if (name.rfind("mpv/lua", 0) == 0) ++n;
    }
    return n;
  };
  // A thread takes its name once it runs: give the scripts' threads time to.
  EXPECT_FALSE(WaitFor([&] { return scriptThreads() > 0; }, 1500)) << scriptThreads() << " script threads";
}

TEST_F(MpvPlayerControlTest, LocalFileLoadsPausedPlaysPausesStopsAndPlaysAgain) {
  const QString clip = test::GeneratedClip(6);
  player_->SetUrl(clip.toStdString());
  EXPECT_EQ(player_->Url(), clip.toStdString());
  ASSERT_TRUE(WaitFor([&] { return State() == kStatePaused; })) << State();
  EXPECT_EQ(player_->Duration(), 6);

  player_->Play();
  ASSERT_TRUE(WaitFor([&] { return State() == kStatePlaying && player_->Position() >= 1; })) << State();
  EXPECT_GT(player_->BitRate(), 0);
  EXPECT_EQ(player_->DownloadProgress(), 0);  // nothing to download for a local file

  player_->Pause();
  EXPECT_EQ(State(), kStatePaused);
  const int paused_at = player_->Position();
  test::Spin(1200);
  EXPECT_EQ(player_->Position(), paused_at);

  player_->Stop();
  ASSERT_TRUE(WaitFor([&] { return State() == kStateStopped; })) << State();
  EXPECT_EQ(player_->Url(), clip.toStdString());  // kept
  EXPECT_EQ(player_->Position(), 0);

  player_->Play();
  ASSERT_TRUE(WaitFor([&] { return State() == kStatePlaying; })) << State();
  EXPECT_LT(player_->Position(), 2);  // from the start again
}

TEST_F(MpvPlayerControlTest, VolumeIsKeptWithinZeroToHundredAndMuteLeavesIt) {
  const std::pair<int, int> cases[] = {{55, 55}, {105, 100}, {1000, 100}, {-10, 0}, {0, 0}, {100, 100}};
  for (const auto& [written, read] : cases) {
    player_->SetVolume(written);
    EXPECT_EQ(player_->Volume(), read) << written;
  }
  player_->SetVolume(40);
  player_->SetMute(true);
  EXPECT_TRUE(player_->Mute());
  EXPECT_EQ(player_->Volume(), 40);
  player_->SetMute(false);
  EXPECT_FALSE(player_->Mute());
  EXPECT_EQ(player_->Volume(), 40);
}

// The program makes its player early and starts mpv later (or with the first item):
// what was written meanwhile reaches mpv.
TEST(MpvPlayerControlStart, SettingsWrittenBeforeTheStartReachMpvAndTheFirstItemStartsIt) {
  MpvPlayerControl player({.null_output = true});
  player.SetVolume(30);
  player.SetMute(true);
  player.Play();
  player.Stop();
  EXPECT_EQ(player.PlayState(), kStateIdle);
  player.SetUrl(test::GeneratedClip(6).toStdString());
  player.Play();
  ASSERT_TRUE(WaitFor([&] { return player.PlayState() == kStatePlaying; })) << player.PlayState();
  // Read back from mpv, which the start asked for every value afresh.
  EXPECT_EQ(player.Volume(), 30);
  EXPECT_TRUE(player.Mute());
}

TEST_F(MpvPlayerControlTest, PositionWritesReadBackCorrected) {
  StartClip(6);
  player_->Pause();
  const int duration = player_->Duration();
  const std::pair<int, int> cases[] = {{3, 3}, {-5, 0}, {1, 1}, {999, 999}, {duration + 1, duration + 1}, {2, 2}};
  for (const auto& [written, read] : cases) {
    player_->SetPosition(written);
    EXPECT_EQ(player_->Position(), read) << "at once, " << written;
    ASSERT_TRUE(WaitFor([&] { return State() != kStateBuffering; })) << written;
    EXPECT_EQ(player_->Position(), read) << "landed, " << written;
    EXPECT_EQ(State(), kStatePaused) << written;  // past the end moves nothing either
  }
}

// The program's right arrow and seek-bar release: write a position, read it back,
// and when it reads past the end, land two seconds before the end instead.
TEST_F(MpvPlayerControlTest, ArrowRightNearTheEndLandsTwoSecondsBeforeIt) {
  StartClip(20);
  const int duration = player_->Duration();
  player_->SetPosition(duration - 5);
  ASSERT_TRUE(WaitFor([&] { return State() == kStatePlaying && player_->Position() == duration - 5; }))
      << State() << " at " << player_->Position();

  player_->SetPosition(player_->Position() + 10);
  QCoreApplication::processEvents();
  EXPECT_GT(player_->Position(), player_->Duration()) << "the write reads back past the end";
  if (player_->Position() > player_->Duration()) player_->SetPosition(player_->Duration() - 2);

  EXPECT_EQ(player_->Position(), duration - 2);
  test::Spin(600);
  EXPECT_EQ(State(), kStatePlaying);
  EXPECT_GE(player_->Position(), duration - 2);
  EXPECT_LT(player_->Position(), duration);

  // Left uncorrected, a position past the end moves nothing: the item plays on
  // from where it was, and the read-back follows it again once it has moved on.
  player_->SetPosition(3);
  ASSERT_TRUE(WaitFor([&] { return State() == kStatePlaying && player_->Position() == 3; })) << State();
  player_->SetPosition(duration + 30);
  EXPECT_EQ(player_->Position(), duration + 30);
  ASSERT_TRUE(WaitFor([&] { return player_->Position() <= duration; }, 3000)) << player_->Position();
  EXPECT_EQ(State(), kStatePlaying);
  EXPECT_GE(player_->Position(), 3);
  EXPECT_LE(player_->Position(), 5);
}

TEST_F(MpvPlayerControlTest, EndOfItemKeepsTheLastPositionAndReportsFinished) {
  StartClip(6);
  const int duration = player_->Duration();
  player_->SetPosition(duration - 1);
  ASSERT_TRUE(WaitFor([&] { return State() == kStateIdle; }, 8000)) << State();
  EXPECT_FALSE(player_->OpenFailed()) << "an item played to its end is no failure";
  // keep-open: the item stays, at its end, as the 1 s poll expects.
  EXPECT_EQ(player_->Position(), duration);
  test::Spin(500);
  EXPECT_EQ(State(), kStateIdle);
  EXPECT_EQ(player_->Position(), duration);

  // A seek back leaves the end and plays on.
  player_->SetPosition(1);
  ASSERT_TRUE(WaitFor([&] { return State() == kStatePlaying; })) << State();
  player_->SetPosition(duration);
  ASSERT_TRUE(WaitFor([&] { return State() == kStateIdle; })) << State();
  // Seeking forward again while held at the end (an arrow key pressed on) keeps it
  // finished rather than paused on the last frame.
  for (int i = 0; i < 3; ++i) player_->SetPosition(duration + 10);
  test::Spin(800);
  EXPECT_EQ(State(), kStateIdle);
  // Play at the end starts over.
  player_->Play();
  ASSERT_TRUE(WaitFor([&] { return State() == kStatePlaying; })) << State();
  EXPECT_LT(player_->Position(), 2);
}

TEST_F(MpvPlayerControlTest, RefusedAndMissingItemsEndAsFinishedWithTheUrlKept) {
  const std::string cases[] = {"appending://" + test::GeneratedClip(6).toStdString(),
                               "file://" + test::GeneratedClip(6).toStdString(),
                               "edl://" + test::GeneratedClip(6).toStdString(), "/nonexistent/film.mp4"};
  for (const std::string& url : cases) {
    player_->SetUrl(url);
    player_->Play();
    EXPECT_EQ(player_->Url(), url);
    ASSERT_TRUE(WaitFor([&] { return State() == kStateIdle; })) << url << " " << State();
    test::Spin(300);
    EXPECT_EQ(State(), kStateIdle) << url;
    EXPECT_EQ(player_->Position(), 0) << url;
    // Finished, but nothing was played: the program must be able to say so.
    EXPECT_TRUE(player_->OpenFailed()) << url;
  }
  // Nothing but the missing file reached mpv.
  EXPECT_EQ(player_->OpenedPath(), "/nonexistent/film.mp4");
  // A server that is down fails the same way.
  player_->SetUrl("http://127.0.0.1:9/film.mp4");
  player_->Play();
  ASSERT_TRUE(WaitFor([&] { return player_->OpenFailed(); })) << State();
  EXPECT_EQ(State(), kStateIdle);
  // Stopped, or given an item that plays, the failure is over.
  player_->Stop();
  EXPECT_FALSE(player_->OpenFailed());
  StartClip(6);
  EXPECT_FALSE(player_->OpenFailed());
}

TEST_F(MpvPlayerControlTest, RelativePathsOpenAsFiles) {
  const QFileInfo clip(test::GeneratedClip(6));
  const QString old = QDir::currentPath();
  QDir::setCurrent(clip.absolutePath());
  player_->SetUrl(clip.fileName().toStdString());
  QDir::setCurrent(old);
  EXPECT_EQ(player_->OpenedPath(), clip.absoluteFilePath());
  player_->Play();
  EXPECT_TRUE(WaitFor([&] { return State() == kStatePlaying; })) << State();
}

TEST_F(MpvPlayerControlTest, HttpStreamPlaysAndReportsItsCache) {
  test::SeedServer server;
  server.Serve("movie", test::ReadBytes(test::GeneratedClip(6)));
  player_->SetUrl(server.Base() + "/clip/movie.mp4");
  player_->Play();
  ASSERT_TRUE(WaitFor([&] { return State() == kStatePlaying; })) << State();
  // A small clip is soon cached to its end.
  EXPECT_TRUE(WaitFor([&] { return player_->DownloadProgress() == 1000; })) << player_->DownloadProgress();
}

}  // namespace
}  // namespace tavlin

namespace tavlin {
namespace {

// Without OpenGL windows (offscreen) the surface stays a black widget: showing it
// must not reach Qt's GL compositing, and full screen still switches.
TEST(MpvPlayerSurface, WithoutOpenGlTheSurfaceIsBlackAndFullScreenStillWorks) {
  auto player = MpvPlayerControl::Create({.null_audio = true});
  ASSERT_TRUE(player);
  EXPECT_EQ(player->VideoView(), nullptr);
  QWidget window;
  window.resize(400, 300);
  player->VideoWidget()->setParent(&window);
  player->VideoWidget()->setGeometry(10, 10, 200, 100);
  window.show();
  player->SetUrl(test::GeneratedClip(6).toStdString());
  player->Play();
  ASSERT_TRUE(test::WaitFor([&] { return player->PlayState() == kStatePlaying; }));

  player->SetFullScreen(true);
  EXPECT_TRUE(player->FullScreen());
  EXPECT_EQ(player->VideoWidget()->geometry(), window.rect());
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(player->VideoWidget(), &escape);
  EXPECT_FALSE(player->FullScreen());
  EXPECT_EQ(player->VideoWidget()->geometry(), QRect(10, 10, 200, 100));
  player.reset();  // the window keeps the surface
  test::Spin(100);
}

}  // namespace
}  // namespace tavlin
