#include "ui/player/player_surface.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QKeyEvent>
#include <QMouseEvent>

#include "ui/player/mpv_video_window.h"
#include "ui/shell/form_widget.h"

namespace tavlin {
namespace {

// The part of `area` that a picture of this shape fills, centred; all of it for no shape.
QRect PictureRect(const QRect& area, double aspect) {
  if (!(aspect > 0) || area.isEmpty()) return area;
  QSize size(area.width(), qRound(area.width() / aspect));
  if (size.height() > area.height()) size = QSize(qRound(area.height() * aspect), area.height());
  size = size.boundedTo(area.size()).expandedTo(QSize(1, 1));
  return QRect(area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2,
               size.width(), size.height());
}

}  // namespace

PlayerSurface::PlayerSurface(QWidget* parent) : QWidget(parent) {
  setAutoFillBackground(true);
  QPalette black = palette();
  black.setColor(QPalette::Window, Qt::black);
  setPalette(black);
  setFocusPolicy(Qt::StrongFocus);
  // In full screen the pointer hides once it has rested a while (mouse tracking is
  // on there only, to bring it back on a move).
  pointer_rest_.setSingleShot(true);
  pointer_rest_.setInterval(kPointerRestMs);
  connect(&pointer_rest_, &QTimer::timeout, this, [this] {
    if (full_screen_) setCursor(Qt::BlankCursor);
  });
}

bool PlayerSurface::PlatformCanShowVideo() {
  const QString platform = QGuiApplication::platformName();
  return platform != "offscreen" && platform != "minimal";
}

void PlayerSurface::SetVideoView(MpvVideoWindow* view) {
  view_ = view;
  container_ = QWidget::createWindowContainer(view, this);
  container_->setGeometry(rect());
  // Clicks and keys go to the surface, which handles leaving full screen.
  container_->setAttribute(Qt::WA_TransparentForMouseEvents);
  container_->setFocusPolicy(Qt::NoFocus);
  container_->show();
  if (window() != this) window()->installEventFilter(this);
}

void PlayerSurface::RemakeViewAfterWindowShown() {
  // A shown window shows its children before it has a native surface again; on
  // Wayland, where a hide destroys surfaces, the picture's surface is then made with
  // no parent surface to belong to, and never appears. Made anew now, it does.
  if (!QGuiApplication::platformName().startsWith("wayland")) return;
  if (!container_ || !container_->isVisible() || !view_ || !view_->isVisible()) return;
  view_->hide();
  view_->show();
}

void PlayerSurface::FitViewToPicture(double aspect) {
  picture_aspect_ = aspect;
  PlaceView();
}

void PlayerSurface::PlaceView() {
  if (!container_) return;
  const QRect place = PictureRect(rect(), picture_aspect_);
  if (container_->geometry() == place) return;
  if (!view_) {
    container_->setGeometry(place);
    return;
  }
  // Resizing the native surface must not meet a draw on the render thread.
  view_->ChangeSurface([this, place] { container_->setGeometry(place); });
}

void PlayerSurface::resizeEvent(QResizeEvent* event) {
  PlaceView();
  QWidget::resizeEvent(event);
}

void PlayerSurface::SetFullScreen(bool on) {
  if (on == full_screen_) return;
  QWidget* top = window();
  full_screen_ = on;
  if (on) {
    if (top == this) {
      showFullScreen();
    } else {
      // As its own top-level window the GL view would get a new context and mpv a
      // new renderer; covering the whole (full-screen) window keeps both.
      home_parent_ = parentWidget();
      home_geometry_ = geometry();
      top_states_ = top->windowState();
      top_geometry_ = top->geometry();
      // The window's mirror of the player area leaves it alone meanwhile.
      setProperty(ui::kDetachedProperty, true);
      setParent(top);
      setGeometry(top->rect());
      show();
      raise();
      top->installEventFilter(this);
      // A window manager that honours size hints keeps the window within the work
      // area, and the panel stays over the film.
      top_maximum_ = top->maximumSize();
      top->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
      top->showFullScreen();
      CoverScreenWithoutWindowManager(top);
    }
    setFocus(Qt::OtherFocusReason);
    setMouseTracking(true);
    ShowPointer();
    emit FullScreenChanged(true);
    return;
  }
  pointer_rest_.stop();
  setMouseTracking(false);
  unsetCursor();
  if (top == this) {
    showNormal();
    emit FullScreenChanged(false);
    return;
  }
  top->setWindowState(top_states_);
  // Without a window manager nothing puts the window back: do it here.
  if (top->geometry() != top_geometry_) top->setGeometry(top_geometry_);
  if (top_maximum_.isValid()) top->setMaximumSize(top_maximum_);
  if (home_parent_) {
    setParent(home_parent_);
    setGeometry(home_geometry_);
    show();
  }
  setProperty(ui::kDetachedProperty, false);
  emit FullScreenChanged(false);
}

void PlayerSurface::ShowPointer() {
  unsetCursor();
  pointer_rest_.start();
}

void PlayerSurface::mouseMoveEvent(QMouseEvent* event) {
  if (full_screen_) ShowPointer();
  QWidget::mouseMoveEvent(event);
}

void PlayerSurface::CoverScreenWithoutWindowManager(QWidget* top) {
  // A window manager answers the request by resizing the window; without one the
  // window keeps its size, so it is given the screen by hand.
  QTimer::singleShot(150, this, [this, top] {
    if (!full_screen_ || !top->screen()) return;
    const QRect screen = top->screen()->geometry();
    if (top->geometry() != screen) top->setGeometry(screen);
  });
}

bool PlayerSurface::eventFilter(QObject* watched, QEvent* event) {
  if (watched == window() && event->type() == QEvent::Show) {
    QTimer::singleShot(0, this, &PlayerSurface::RemakeViewAfterWindowShown);
  }
  if (full_screen_ && watched == window() && event->type() == QEvent::Resize) {
    setGeometry(window()->rect());
  }
  return QWidget::eventFilter(watched, event);
}

void PlayerSurface::keyPressEvent(QKeyEvent* event) {
  if (full_screen_ && event->key() == Qt::Key_Escape) {
    SetFullScreen(false);
    return;
  }
  QWidget::keyPressEvent(event);
}

void PlayerSurface::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mouseDoubleClickEvent(event);
  // The picture is shown only while an item is open (the cover hides it otherwise).
  SetFullScreen(!full_screen_);
}

}  // namespace tavlin
