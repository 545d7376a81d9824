#include "ui/desktop/desktop_idle_inhibitor.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QEvent>
#include <QGuiApplication>
#include <QTimer>
#include <QVariantMap>
#include <QWindow>
#include <cstring>
#include <qpa/qplatformnativeinterface.h>

#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>
#include <wayland-client.h>

#include "idle-inhibit-unstable-v1-client-protocol.h"

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

bool OnWayland() { return QGuiApplication::platformName().startsWith(QLatin1String("wayland")); }

wl_display* WaylandDisplay() {
  QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
  if (!native || !OnWayland()) return nullptr;
  return static_cast<wl_display*>(native->nativeResourceForIntegration("wl_display"));
}

// The compositor's idle inhibit manager, looked up on a queue of our own so that
// nothing of Qt's is read meanwhile; none when the compositor offers none.
zwp_idle_inhibit_manager_v1* BindInhibitManager(wl_display* display) {
  wl_event_queue* queue = wl_display_create_queue(display);
  auto* wrapper = static_cast<wl_display*>(wl_proxy_create_wrapper(display));
  wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(wrapper), queue);
  wl_registry* registry = wl_display_get_registry(wrapper);
  zwp_idle_inhibit_manager_v1* manager = nullptr;
  static const wl_registry_listener listener = {
      [](void* data, wl_registry* reg, uint32_t name, const char* interface, uint32_t) {
        auto** found = static_cast<zwp_idle_inhibit_manager_v1**>(data);
        if (*found || std::strcmp(interface, zwp_idle_inhibit_manager_v1_interface.name) != 0) return;
        *found = static_cast<zwp_idle_inhibit_manager_v1*>(
            wl_registry_bind(reg, name, &zwp_idle_inhibit_manager_v1_interface, 1));
      },
      [](void*, wl_registry*, uint32_t) {}};
  wl_registry_add_listener(registry, &listener, &manager);
  wl_display_roundtrip_queue(display, queue);
  // The manager sends no events: it goes back to the default queue before ours goes.
  if (manager) wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(manager), nullptr);
  wl_registry_destroy(registry);
  wl_proxy_wrapper_destroy(wrapper);
  wl_event_queue_destroy(queue);
  return manager;
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
  if (manager_) {
    zwp_idle_inhibit_manager_v1_destroy(manager_);
    if (wl_display* display = WaylandDisplay()) wl_display_flush(display);
  }
}

void DesktopIdleInhibitor::Watch(QWidget* window) {
  if (window_) window_->removeEventFilter(this);
  window_ = window;
  if (window_) window_->installEventFilter(this);
  SyncSurface();
}

bool DesktopIdleInhibitor::eventFilter(QObject* watched, QEvent* event) {
  if (watched == window_) {
    // Hidden, the window's surface is gone; shown, it has a new one once the show is
    // through.
    if (event->type() == QEvent::Hide) SyncSurface();
    if (event->type() == QEvent::Show) QTimer::singleShot(0, this, &DesktopIdleInhibitor::SyncSurface);
  }
  return QObject::eventFilter(watched, event);
}

void DesktopIdleInhibitor::SyncSurface() {
  wl_display* display = WaylandDisplay();
  if (!display) return;
  wl_surface* surface = nullptr;
  if (wanted_ && window_ && window_->isVisible() && window_->windowHandle()) {
    surface = static_cast<wl_surface*>(
        QGuiApplication::platformNativeInterface()->nativeResourceForWindow("surface", window_->windowHandle()));
  }
  if (surface == inhibited_) return;
  DropSurface();
  if (!surface) return;
  if (!askedCompositor_) {
    askedCompositor_ = true;
    manager_ = BindInhibitManager(display);
  }
  if (!manager_) return;
  inhibitor_ = zwp_idle_inhibit_manager_v1_create_inhibitor(manager_, surface);
  inhibited_ = surface;
  wl_display_flush(display);
}

void DesktopIdleInhibitor::DropSurface() {
  if (!inhibitor_) return;
  zwp_idle_inhibitor_v1_destroy(inhibitor_);
  inhibitor_ = nullptr;
  inhibited_ = nullptr;
  if (wl_display* display = WaylandDisplay()) wl_display_flush(display);
}

void DesktopIdleInhibitor::Hold(const std::string& reason) {
  wanted_ = true;
  SuspendX(true);
  SyncSurface();
  if (held_ == Service::Nothing && !asking_) HoldBus(QString::fromStdString(reason));
}

void DesktopIdleInhibitor::Release() {
  wanted_ = false;
  SuspendX(false);
  DropSurface();
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
