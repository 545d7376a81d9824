#include "ui/desktop/media_keys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace tavlin::ui {

namespace {
using Command = void (desktop::MediaRemote::*)();

Command CommandOf(int key) {
  switch (key) {
    // One key for both on most keyboards: it toggles, as the play button does.
    case Qt::Key_MediaPlay:
    case Qt::Key_MediaTogglePlayPause: return &desktop::MediaRemote::PlayPause;
    case Qt::Key_MediaPause: return &desktop::MediaRemote::Pause;
    case Qt::Key_MediaStop: return &desktop::MediaRemote::Stop;
    case Qt::Key_MediaNext: return &desktop::MediaRemote::Next;
    case Qt::Key_MediaPrevious: return &desktop::MediaRemote::Previous;
    default: return nullptr;
  }
}
}  // namespace

MediaKeys::MediaKeys(desktop::MediaRemote& remote, std::function<void(std::function<void()>)> dispatch)
    : remote_(remote), dispatch_(std::move(dispatch)) {
  qApp->installEventFilter(this);
}

bool MediaKeys::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  const auto* key = static_cast<QKeyEvent*>(event);
  const Command command = CommandOf(key->key());
  if (!command) return false;
  // A key travels from the focus widget up through its parents: taken once, where
  // it is first delivered.
  auto* target = qobject_cast<QWidget*>(watched);
  QWidget* focus = QApplication::focusWidget();
  if (!target || (focus ? target != focus : !target->isWindow())) return false;
  if (!key->isAutoRepeat()) dispatch_([this, command] { (remote_.*command)(); });
  return true;
}

}  // namespace tavlin::ui
