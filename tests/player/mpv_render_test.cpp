// The stand-in drawing real video through the render API (needs an X server).
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QWidget>
#include <set>
#include <vector>

#include "test_support.h"
#include "ui/player/mpv_player_control.h"
#include "ui/player/mpv_video_window.h"

namespace tavlin {
namespace {

using test::WaitFor;

// testsrc is colourful: a drawn frame has many distinct, non-black pixels.
bool LooksLikeVideo(const QImage& image) {
  if (image.isNull()) return false;
  std::set<QRgb> colours;
  for (int y = 0; y < image.height(); y += 7) {
    for (int x = 0; x < image.width(); x += 7) colours.insert(image.pixel(x, y) & 0xffffff);
  }
  colours.erase(0);
  return colours.size() > 20;
}

class MpvRenderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    player_ = MpvPlayerControl::Create({.null_audio = true});
    ASSERT_TRUE(player_);
    window_ = std::make_unique<QWidget>();
    window_->resize(640, 480);
    surface()->setParent(window_.get());
    surface()->setGeometry(20, 20, 400, 300);
  }
  void TearDown() override {
    player_.reset();  // mpv first, as the program does; the window owns the widget
    window_.reset();
  }
  QWidget* surface() { return player_->VideoWidget(); }
  MpvVideoWindow* video() { return player_->VideoView(); }
  // What the X server shows of the video window, drawn from another thread.
  QImage OnScreen() { return video()->screen()->grabWindow(video()->winId()).toImage(); }
  void Start() {
    player_->SetUrl(test::GeneratedClip(6).toStdString());
    player_->Play();
  }

  std::unique_ptr<MpvPlayerControl> player_;
  std::unique_ptr<QWidget> window_;
};

TEST_F(MpvRenderTest, PlayingClipIsDrawnIntoTheWidget) {
  window_->show();
  Start();
  ASSERT_TRUE(WaitFor([&] { return video()->FramesDrawn() > 5; })) << player_->PlayState();
  EXPECT_EQ(player_->PlayState(), kStatePlaying);
  EXPECT_TRUE(LooksLikeVideo(OnScreen()));
  // Where GL draws on the CPU the frames come already scaled to the picture, and
  // follow it when it changes size.
  if (!video()->SoftwareGl()) return;
  EXPECT_TRUE(WaitFor([&] { return player_->FrameSize() == QSize(400, 300); })) << player_->FrameSize().width();
  surface()->setGeometry(20, 20, 200, 120);
  EXPECT_TRUE(WaitFor([&] { return player_->FrameSize() == QSize(160, 120); })) << player_->FrameSize().width();
  EXPECT_TRUE(WaitFor([&] { return LooksLikeVideo(OnScreen()); }));
}

TEST_F(MpvRenderTest, WhereGlDrawsOnTheCpuTheViewCoversOnlyThePicture) {
  window_->show();
  Start();
  ASSERT_TRUE(WaitFor([&] { return video()->FramesDrawn() > 5; }));
  if (!video()->SoftwareGl()) GTEST_SKIP() << "a GPU draws the bars for nothing";
  // Where the view sits inside the surface, and what the screen shows there.
  const auto place = [&] { return QRect(surface()->mapFromGlobal(video()->mapToGlobal(QPoint())), video()->size()); };
  const auto grab = [&](const QRect& r) {
    const QPoint at = surface()->mapTo(window_.get(), r.topLeft());
    return window_->screen()->grabWindow(window_->winId(), at.x(), at.y(), r.width(), r.height()).toImage();
  };
  const auto black = [](const QImage& image) {
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if ((image.pixel(x, y) & 0xffffff) != 0) return false;
    return !image.isNull();
  };
  // The 4:3 clip in a wide surface, then in a tall one, then in full screen.
  surface()->setGeometry(20, 20, 400, 150);
  ASSERT_TRUE(WaitFor([&] { return place() == QRect(100, 0, 200, 150); })) << place().x() << "," << place().width();
  EXPECT_TRUE(WaitFor([&] { return player_->FrameSize() == QSize(200, 150); }));
  EXPECT_TRUE(WaitFor([&] { return LooksLikeVideo(grab(QRect(100, 0, 200, 150))); }));
  EXPECT_TRUE(WaitFor([&] { return black(grab(QRect(0, 0, 98, 150))) && black(grab(QRect(302, 0, 98, 150))); }))
      << "bars beside the picture";
  surface()->setGeometry(20, 20, 200, 300);
  ASSERT_TRUE(WaitFor([&] { return place() == QRect(0, 75, 200, 150); })) << place().y() << "," << place().height();
  EXPECT_TRUE(WaitFor([&] { return LooksLikeVideo(grab(QRect(0, 75, 200, 150))); }));
  EXPECT_TRUE(WaitFor([&] { return black(grab(QRect(0, 0, 200, 73))) && black(grab(QRect(0, 227, 200, 73))); }));
  player_->SetFullScreen(true);
  ASSERT_TRUE(WaitFor([&] { return surface()->size() == window_->screen()->size(); }));
  // The screen is wider than 4:3: full height, bars left and right.
  const QSize screen = surface()->size();
  ASSERT_GT(screen.width() * 3, screen.height() * 4);
  EXPECT_TRUE(WaitFor([&] { return place().height() == screen.height(); })) << place().height();
  EXPECT_NEAR(place().width(), screen.height() * 4.0 / 3, 1);
  EXPECT_NEAR(place().center().x(), screen.width() / 2.0, 1);
  player_->SetFullScreen(false);
  EXPECT_TRUE(WaitFor([&] { return place() == QRect(0, 75, 200, 150); }));
  const qint64 frames = video()->FramesDrawn();
  EXPECT_TRUE(WaitFor([&] { return video()->FramesDrawn() > frames + 5; })) << "drawing stopped";
}

TEST_F(MpvRenderTest, DrawingGoesOnWhileTheGuiThreadOnlyReadsThePlayer) {
  // The poll reads mpv synchronously on the GUI thread; the picture must not wait for
  // the GUI thread, or every read made while mpv waits for a draw stalls both.
  window_->show();
  Start();
  ASSERT_TRUE(WaitFor([&] { return video()->FramesDrawn() > 0; }));
  const qint64 before = video()->FramesDrawn();
  QElapsedTimer busy;
  busy.start();
  int reads = 0;
  while (busy.elapsed() < 1000) reads += player_->PlayState() + player_->Position() + player_->Volume() >= 0;
  EXPECT_GT(video()->FramesDrawn(), before + 10) << reads << " reads";
  EXPECT_TRUE(WaitFor([&] { return player_->PlayState() == kStatePlaying; }));
}

TEST_F(MpvRenderTest, VideoHiddenWhileTheItemStartsIsDrawnOnceShown) {
  // The window hides the video behind its cover until the poll sees "playing".
  surface()->hide();
  window_->show();
  Start();
  ASSERT_TRUE(WaitFor([&] { return player_->PlayState() == kStatePlaying && player_->Position() >= 1; }))
      << player_->PlayState() << " at " << player_->Position();
  EXPECT_EQ(video()->FramesDrawn(), 0);
  surface()->show();
  ASSERT_TRUE(WaitFor([&] { return video()->FramesDrawn() > 5; }));
  EXPECT_TRUE(LooksLikeVideo(OnScreen()));
}

TEST_F(MpvRenderTest, BehindTheCoverFramesAreNotHeldBackForADraw) {
  // The cover comes back between items; the next item, or a seek, must not wait for a
  // draw that will not come (mpv holds each frame for a reported swap, 200 ms at most).
  window_->show();
  Start();
  ASSERT_TRUE(WaitFor([&] { return video()->FramesDrawn() > 5; }));
  surface()->hide();
  ASSERT_TRUE(WaitFor([&] { return !video()->isExposed(); }));
  QElapsedTimer clock;
  clock.start();
  for (int second : {4, 1, 3, 0, 2, 5, 1, 4}) {
    player_->SetPosition(second);
    ASSERT_TRUE(WaitFor([&] { return player_->PlayState() == kStatePlaying; })) << player_->PlayState();
  }
  EXPECT_LT(clock.elapsed(), 1000) << "eight seeks behind the cover";
}

TEST_F(MpvRenderTest, SurfaceChurnWhilePlayingNeverStallsAndDrawingResumes) {
  // Between frames the render thread may hold the window current; every change the
  // GUI thread makes (resize, hide, show, full screen's new parent) first takes it
  // back. A lost hand-off stalls the GUI thread or leaves the picture undrawn.
  window_->show();
  Start();
  ASSERT_TRUE(WaitFor([&] { return video()->FramesDrawn() > 5; }));
  QElapsedTimer slowest;
  qint64 worst = 0;
  for (int round = 0; round < 40; ++round) {
    slowest.start();
    switch (round % 5) {
      case 0: surface()->setGeometry(20, 20, 200 + round * 5, 150 + round * 3); break;
      case 1: surface()->hide(); break;
      case 2: surface()->show(); break;
      case 3: player_->SetFullScreen(round % 2 == 1); break;
      case 4: player_->SetFullScreen(false); break;
    }
    worst = std::max(worst, slowest.elapsed());
    test::Spin(round % 3 == 0 ? 0 : 30);  // some changes land mid-frame, some between
  }
  EXPECT_LT(worst, 500) << "a change waited that long for the render thread";
  surface()->setGeometry(20, 20, 400, 300);
  const qint64 frames = video()->FramesDrawn();
  ASSERT_TRUE(WaitFor([&] { return video()->FramesDrawn() > frames + 10; })) << "drawing stopped";
  EXPECT_TRUE(WaitFor([&] { return LooksLikeVideo(OnScreen()); }));
  EXPECT_EQ(player_->PlayState(), kStatePlaying);
}

// The window's maximum is the work area, as the program's window has it: full screen
// lifts it (a window manager would keep the window within it) and puts it back.
TEST_F(MpvRenderTest, FullScreenCoversTheWindowAndEscapeOrDoubleClickReturns) {
  window_->setMaximumSize(1280, 770);
  std::vector<bool> changes;
  QObject::connect(player_.get(), &MpvPlayerControl::FullScreenChanged, [&](bool on) { changes.push_back(on); });
  window_->show();
  Start();
  ASSERT_TRUE(WaitFor([&] { return video()->FramesDrawn() > 0; }));
  const auto doubleClick = [&] {
    const QPointF at(10, 10);
    QMouseEvent click(QEvent::MouseButtonDblClick, at, surface()->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(surface(), &click);
  };
  for (int way = 0; way < 2; ++way) {
    // In by the control's switch, then by a double click on the picture.
    if (way == 0) player_->SetFullScreen(true);
    else doubleClick();
    EXPECT_TRUE(player_->FullScreen());
    ASSERT_TRUE(WaitFor([&] { return window_->isFullScreen() && surface()->geometry() == window_->rect(); })) << way;
    EXPECT_TRUE(WaitFor([&] { return window_->size() == window_->screen()->size(); })) << way;
    const qint64 frames = video()->FramesDrawn();
    EXPECT_TRUE(WaitFor([&] { return video()->FramesDrawn() > frames + 5; })) << "still drawing";
    if (way == 0) {
      QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
      QApplication::sendEvent(surface(), &escape);
    } else {
      doubleClick();
    }
    EXPECT_FALSE(player_->FullScreen());
    ASSERT_TRUE(WaitFor([&] { return !window_->isFullScreen(); })) << way;
    EXPECT_EQ(surface()->parentWidget(), window_.get());
    EXPECT_EQ(surface()->geometry(), QRect(20, 20, 400, 300));
    EXPECT_EQ(window_->maximumSize(), QSize(1280, 770));
    EXPECT_EQ(window_->size(), QSize(640, 480));
  }
  EXPECT_EQ(changes, (std::vector<bool>{true, false, true, false}));
  EXPECT_EQ(player_->PlayState(), kStatePlaying);
}

TEST_F(MpvRenderTest, WindowMayGoBeforeThePlayer) {
  window_->show();
  Start();
  ASSERT_TRUE(WaitFor([&] { return video()->FramesDrawn() > 0; }));
  window_.reset();  // takes the widget and its renderer with it
  EXPECT_EQ(player_->VideoWidget(), nullptr);
  test::Spin(300);
  EXPECT_EQ(player_->PlayState(), kStatePlaying);  // sound goes on
}

}  // namespace
}  // namespace tavlin
