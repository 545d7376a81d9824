// What the Wayland walks need of a client other than the program:
//   wayland_probe token   prints an activation token, as a launcher gets one for a
//                         start it makes
//   wayland_probe window  shows a plain window titled "probe" until it is ended
#include <wayland-client.h>

#include <QGuiApplication>
#include <QPainter>
#include <QRasterWindow>
#include <cstdio>
#include <cstring>
#include <string>

#include "xdg-activation-v1-client-protocol.h"

namespace {

int PrintToken() {
  wl_display* display = wl_display_connect(nullptr);
  if (!display) {
    std::fprintf(stderr, "no Wayland display\n");
    return 2;
  }
  xdg_activation_v1* activation = nullptr;
  static const wl_registry_listener registryListener = {
      [](void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
        if (std::strcmp(interface, xdg_activation_v1_interface.name) != 0) return;
        *static_cast<xdg_activation_v1**>(data) =
            static_cast<xdg_activation_v1*>(wl_registry_bind(registry, name, &xdg_activation_v1_interface, 1));
      },
      [](void*, wl_registry*, uint32_t) {}};
  wl_registry* registry = wl_display_get_registry(display);
  wl_registry_add_listener(registry, &registryListener, &activation);
  wl_display_roundtrip(display);
  if (!activation) {
    std::fprintf(stderr, "the compositor offers no xdg_activation_v1\n");
    return 3;
  }
  std::string token;
  static const xdg_activation_token_v1_listener tokenListener = {
      [](void* data, xdg_activation_token_v1*, const char* value) { *static_cast<std::string*>(data) = value; }};
  xdg_activation_token_v1* request = xdg_activation_v1_get_activation_token(activation);
  xdg_activation_token_v1_add_listener(request, &tokenListener, &token);
  xdg_activation_token_v1_commit(request);
  while (token.empty() && wl_display_dispatch(display) >= 0) {
  }
  xdg_activation_token_v1_destroy(request);
  xdg_activation_v1_destroy(activation);
  wl_registry_destroy(registry);
  wl_display_disconnect(display);
  if (token.empty()) return 4;
  std::printf("%s\n", token.c_str());
  return 0;
}

class Plain final : public QRasterWindow {
 protected:
  void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(QRect(QPoint(), size()), Qt::darkCyan); }
};

}  // namespace

int main(int argc, char* argv[]) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "token") return PrintToken();
  if (mode != "window") {
    std::fprintf(stderr, "usage: wayland_probe token|window\n");
    return 1;
  }
  QGuiApplication app(argc, argv);
  Plain window;
  window.setTitle(QStringLiteral("probe"));
  window.resize(300, 200);
  window.show();
  return app.exec();
}
