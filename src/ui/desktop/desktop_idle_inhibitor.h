#pragma once
// Holds the desktop's idle actions off while a film plays: an inhibit of the
// session bus's screen saver service (or of the desktop portal, where that is what
// the desktop offers, as in a sandbox), and on X11 a suspension of the X server's
// own screen saver and power saving. Everything held is tied to the program's
// connections: a program that dies holds nothing.
#include <QObject>
#include <QString>

#include "platform/idle_inhibitor.h"

class QDBusPendingCallWatcher;

namespace tavlin::ui {

class DesktopIdleInhibitor final : public QObject, public IdleInhibitor {
 public:
  DesktopIdleInhibitor();
  ~DesktopIdleInhibitor() override;
  void Hold(const std::string& reason) override;
  void Release() override;

 private:
  enum class Service { Nothing, ScreenSaver, Portal };
  void HoldBus(const QString& reason);
  void TakeAnswer();
  void ReleaseBus();
  void SuspendX(bool on);

  bool wanted_ = false;
  // An inhibit on its way: never a second one meanwhile.
  QDBusPendingCallWatcher* asking_ = nullptr;
  Service askedOf_ = Service::Nothing;
  Service held_ = Service::Nothing;
  uint cookie_ = 0;      // the screen saver's
  QString request_;      // the portal's request object
  bool xSuspended_ = false;
};

}  // namespace tavlin::ui
