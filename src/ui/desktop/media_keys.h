#pragma once
// The keyboard's media keys on the program's own windows. A desktop takes them
// itself and sends them through the media remote; a bare window manager hands them
// to the focused window, where they act as the player's buttons just the same.
#include <QObject>
#include <functional>

#include "core/desktop/media_remote.h"

namespace tavlin::ui {

class MediaKeys final : public QObject {
 public:
  // dispatch runs a core call the way input does.
  MediaKeys(desktop::MediaRemote& remote, std::function<void(std::function<void()>)> dispatch);
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  desktop::MediaRemote& remote_;
  std::function<void(std::function<void()>)> dispatch_;
};

}  // namespace tavlin::ui
