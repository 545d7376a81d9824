#pragma once
// The widget the window places as the player's video: black while nothing is
// drawn, holding mpv's GL view when the platform can show OpenGL. It carries the
// full-screen switch: a double click on the picture goes in and out, Escape leaves,
// and in full screen the pointer hides while it rests.
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QTimer>
#include <QWidget>

namespace tavlin {

class MpvVideoWindow;

class PlayerSurface : public QWidget {
  Q_OBJECT

 public:
  explicit PlayerSurface(QWidget* parent = nullptr);

  // Embeds the GL window as its only child, filling it.
  void SetVideoView(MpvVideoWindow* view);
  MpvVideoWindow* VideoView() const { return view_.data(); }

  // The GL view covers only the picture of this shape (width over height), centred,
  // with the surface's black around it; until told, it fills the surface.
  void FitViewToPicture(double aspect);

  void SetFullScreen(bool on);
  bool IsFullScreen() const { return full_screen_; }

  // How long the pointer may rest on a full-screen picture before it hides.
  static constexpr int kPointerRestMs = 2000;

 signals:
  void FullScreenChanged(bool on);

 public:
  // False on platforms without OpenGL windows (offscreen, minimal).
  static bool PlatformCanShowVideo();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CoverScreenWithoutWindowManager(QWidget* top);
  void RemakeViewAfterWindowShown();
  void ShowPointer();
  void PlaceView();
  QPointer<MpvVideoWindow> view_;
  double picture_aspect_ = 0;
  QPointer<QWidget> container_;
  bool full_screen_ = false;
  QPointer<QWidget> home_parent_;
  QRect home_geometry_;
  QRect top_geometry_;
  Qt::WindowStates top_states_;
  // The window's own maximum (the work area) is lifted while it covers the screen.
  QSize top_maximum_;
  QTimer pointer_rest_;
};

}  // namespace tavlin
