#include "ui/desktop/desktop_idle_inhibitor.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QGuiApplication>
#include <QVariantMap>

#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>

namespace tavlin::ui {

namespace {
const QString kScreenSaver = QStringLiteral("org.freedesktop.ScreenSaver");
const QString kScreenSaverPath = QStringLiteral("/org/freedesktop/ScreenSaver");
const QString kPortal = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
constexpr uint kInhibitIdle = 8;

Display* XDisplay() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return x11 ? x11->display() : nullptr;
}

bool Has(const QDBusConnection& bus, const QString& name) {
  QDBusConnectionInterface* names = bus.interface();
  return names && names->isServiceRegistered(name).value();
}
}  // namespace

DesktopIdleInhibitor::DesktopIdleInhibitor() = default;

DesktopIdleInhibitor::~DesktopIdleInhibitor() {
  wanted_ = false;
  // An answer still to come would name a hold that nobody gives back.
  if (asking_) {
    asking_->waitForFinished();
    TakeAnswer();
  }
  Release();
}

void DesktopIdleInhibitor::Hold(const std::string& reason) {
  wanted_ = true;
  SuspendX(true);
  if (held_ == Service::Nothing && !asking_) HoldBus(QString::fromStdString(reason));
}

void DesktopIdleInhibitor::Release() {
  wanted_ = false;
  SuspendX(false);
  ReleaseBus();
}

void DesktopIdleInhibitor::HoldBus(const QString& reason) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return;
  QDBusMessage call;
  Service service = Service::Nothing;
  if (Has(bus, kScreenSaver)) {
    service = Service::ScreenSaver;
    call = QDBusMessage::createMethodCall(kScreenSaver, kScreenSaverPath, kScreenSaver, QStringLiteral("Inhibit"));
    call << QCoreApplication::applicationName() << reason;
  } else if (Has(bus, kPortal)) {
    service = Service::Portal;
    call = QDBusMessage::createMethodCall(kPortal, kPortalPath, QStringLiteral("org.freedesktop.portal.Inhibit"),
                                          QStringLiteral("Inhibit"));
    call << QString() << kInhibitIdle << QVariantMap{{QStringLiteral("reason"), reason}};
  } else {
    return;
  }
  // Not waited for: a slow service must not hold the window up.
  askedOf_ = service;
  asking_ = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
  connect(asking_, &QDBusPendingCallWatcher::finished, this, &DesktopIdleInhibitor::TakeAnswer);
}

void DesktopIdleInhibitor::TakeAnswer() {
  if (!asking_) return;
  const QDBusMessage reply = asking_->reply();
  asking_->disconnect(this);
  asking_->deleteLater();
  asking_ = nullptr;
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return;
  held_ = askedOf_;
  const QVariant handle = reply.arguments().first();
  if (held_ == Service::ScreenSaver) cookie_ = handle.toUInt();
  if (held_ == Service::Portal) request_ = handle.value<QDBusObjectPath>().path();
  // Let go meanwhile: the hold that has just come is given back at once.
  if (!wanted_) ReleaseBus();
}

void DesktopIdleInhibitor::ReleaseBus() {
  if (held_ == Service::Nothing) return;
  QDBusMessage call;
  if (held_ == Service::ScreenSaver) {
    call = QDBusMessage::createMethodCall(kScreenSaver, kScreenSaverPath, kScreenSaver, QStringLiteral("UnInhibit"));
    call << cookie_;
  } else {
    call = QDBusMessage::createMethodCall(kPortal, request_, QStringLiteral("org.freedesktop.portal.Request"),
                                          QStringLiteral("Close"));
  }
  held_ = Service::Nothing;
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (bus.isConnected()) bus.send(call);
}

// The X server's screen saver and power saving, suspended for this client: the
// server lifts the suspension by itself when the client's connection ends.
void DesktopIdleInhibitor::SuspendX(bool on) {
  if (on == xSuspended_) return;
  Display* display = XDisplay();
  if (!display) return;
  int event = 0, error = 0, major = 0, minor = 0;
  if (!XScreenSaverQueryExtension(display, &event, &error) || !XScreenSaverQueryVersion(display, &major, &minor) ||
      (major == 1 && minor < 1)) {
    return;
  }
  XScreenSaverSuspend(display, on ? True : False);
  XFlush(display);
  xSuspended_ = on;
}

}  // namespace tavlin::ui
