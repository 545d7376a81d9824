#pragma once
// Holds the desktop's idle actions off while a film plays: an inhibit of the
// session bus's screen saver service (or of the desktop portal, where that is what
// the desktop offers, as in a sandbox), on X11 a suspension of the X server's own
// screen saver and power saving, and on Wayland an idle inhibitor on the main
// window's surface (compositors such as sway offer no bus service). Everything
// held is tied to the program's connections: a program that dies holds nothing.
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include "platform/idle_inhibitor.h"

class QDBusPendingCallWatcher;
struct wl_surface;
struct zwp_idle_inhibit_manager_v1;
struct zwp_idle_inhibitor_v1;

namespace tavlin::ui {

class DesktopIdleInhibitor final : public QObject, public IdleInhibitor {
 public:
  DesktopIdleInhibitor();
  ~DesktopIdleInhibitor() override;
  void Hold(const std::string& reason) override;
  void Release() override;
  // The window whose surface carries the Wayland inhibitor: the compositor honours
  // it while the window is shown, and a window shown again has a new surface.
  void Watch(QWidget* window);
  // Whether a Wayland inhibitor is on the window now (tests).
  bool holdsSurface() const { return inhibitor_ != nullptr; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  enum class Service { Nothing, ScreenSaver, Portal };
  void HoldBus(const QString& reason);
  void TakeAnswer();
  void ReleaseBus();
  void SuspendX(bool on);
  // Puts the Wayland inhibitor on the window's present surface, or takes it off.
  void SyncSurface();
  void DropSurface();

  bool wanted_ = false;
  // An inhibit on its way: never a second one meanwhile.
  QDBusPendingCallWatcher* asking_ = nullptr;
  Service askedOf_ = Service::Nothing;
  Service held_ = Service::Nothing;
  uint cookie_ = 0;  // the screen saver's
  QString request_;  // the portal's request object
  bool xSuspended_ = false;
  QPointer<QWidget> window_;
  bool askedCompositor_ = false;
  zwp_idle_inhibit_manager_v1* manager_ = nullptr;
  zwp_idle_inhibitor_v1* inhibitor_ = nullptr;
  wl_surface* inhibited_ = nullptr;
};

}  // namespace tavlin::ui
