#include "ui/shell/dispatched_events.h"

#include "ui/shell/main_window.h"
#include "ui/shell/painting_http_client.h"

namespace tavlin::ui {

void DispatchedEvents::BeforeNavigate(const std::string& view, const std::string& address,
                                      const std::string& origin, bool& cancel) {
  if (!PaintingHttpClient::Waiting()) {
    window_.Dispatch([&] { core_.BeforeNavigate(view, address, origin, cancel); });
    return;
  }
  cancel = true;
  window_.Dispatch([this, view, address, origin] {
    bool held = false;
    core_.BeforeNavigate(view, address, origin, held);
    auto it = views_.find(view);
    if (!held && it != views_.end()) it->second->Navigate(address);
  });
}

void DispatchedEvents::DownloadBegin(const std::string& view) {
  window_.Dispatch([this, view] { core_.DownloadBegin(view); });
}

void DispatchedEvents::DownloadComplete(const std::string& view) {
  window_.Dispatch([this, view] { core_.DownloadComplete(view); });
}

void DispatchedEvents::NavigateError(const std::string& view, const std::string& address, int status) {
  window_.Dispatch([this, view, address, status] { core_.NavigateError(view, address, status); });
}

void DispatchedEvents::UserClick(const std::string& view) {
  window_.Dispatch([this, view] { core_.UserClick(view); });
}

void DispatchedEvents::ContextMenu(const std::string& view, const std::string& href, const std::string& origin,
                                   int x, int y) {
  window_.Dispatch([this, view, href, origin, x, y] { core_.ContextMenu(view, href, origin, x, y); });
}

void DispatchedEvents::NewWindow(const std::string& view, const std::string& address, bool& cancel) {
  if (PaintingHttpClient::Waiting()) {
    cancel = true;
    return;
  }
  window_.Dispatch([&] { core_.NewWindow(view, address, cancel); });
}

}  // namespace tavlin::ui
