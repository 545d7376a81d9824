#include "ui/instance/window_activation.h"

#include <QGuiApplication>
#include <QScreen>
#include <cstdint>
#include <qpa/qplatformnativeinterface.h>

namespace tavlin::ui {

namespace {
constexpr const char* kTokenVariable = "XDG_ACTIVATION_TOKEN";
constexpr const char* kStartupIdVariable = "DESKTOP_STARTUP_ID";

bool OnWayland() { return QGuiApplication::platformName().startsWith(QLatin1String("wayland")); }

// The time of the user's action that launched the start, at the end of the id
// ("…_TIME<server time>"): the window manager lets a window that asks with a time
// after the user's last action in another window take the focus.
uint32_t StartupTime(const std::string& id) {
  const size_t at = id.rfind("_TIME");
  if (at == std::string::npos) return 0;
  uint64_t time = 0;
  size_t i = at + 5;
  for (; i < id.size() && id[i] >= '0' && id[i] <= '9' && time <= UINT32_MAX; ++i) time = time * 10 + (id[i] - '0');
  return i == id.size() && time <= UINT32_MAX ? static_cast<uint32_t>(time) : 0;
}

void UseStartupIdOnX11(const std::string& id) {
  QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
  if (!native || QGuiApplication::platformName() != QLatin1String("xcb")) return;
  using SetStartupId = void (*)(const char*);
  if (auto set = reinterpret_cast<SetStartupId>(native->nativeResourceFunctionForIntegration("setstartupid"))) {
    set(id.c_str());
  }
  const uint32_t time = StartupTime(id);
  QScreen* screen = QGuiApplication::primaryScreen();
  if (time == 0 || !screen) return;
  using SetTime = void (*)(QScreen*, uint32_t);
  for (const char* name : {"setapptime", "setappusertime"}) {
    if (auto set = reinterpret_cast<SetTime>(native->nativeResourceFunctionForScreen(name))) set(screen, time);
  }
}
}  // namespace

instance::Activation ActivationOfThisStart() {
  instance::Activation activation;
  activation.token = qgetenv(kTokenVariable).toStdString();
  activation.startupId = qgetenv(kStartupIdVariable).toStdString();
  if (!instance::IsSoundToken(activation.token)) activation.token.clear();
  if (!instance::IsSoundToken(activation.startupId)) activation.startupId.clear();
  return activation;
}

void ReserveActivationToken() {
  if (!qEnvironmentVariableIsSet(kTokenVariable)) qputenv(kTokenVariable, QByteArray());
}

ActivationScope::ActivationScope(const instance::Activation& activation) {
  if (!activation.token.empty() && OnWayland()) {
    token_ = QByteArray::fromStdString(activation.token);
    qputenv(kTokenVariable, token_);
  }
  if (!activation.startupId.empty()) UseStartupIdOnX11(activation.startupId);
}

ActivationScope::~ActivationScope() {
  // Emptied, not removed: the place stays for the next start's token.
  if (!token_.isEmpty()) qputenv(kTokenVariable, QByteArray());
}

}  // namespace tavlin::ui
