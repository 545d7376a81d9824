#include "ui/shell/dispatched_events.h"

#include "ui/shell/main_window.h"

namespace tavlin::ui {

DispatchedEvents::DispatchedEvents(MainWindow& window, BrowserEvents& core) : DispatchedEvents(window.gate(), core) {}

void DispatchedEvents::BeforeNavigate(const std::string& view, const std::string& address, const std::string& origin,
                                      bool& cancel) {
  if (!gate_.Waiting()) {
    gate_.Run([&] { core_.BeforeNavigate(view, address, origin, cancel); });
    return;
  }
  cancel = true;
  gate_.Run([this, view, address, origin] {
    bool held = false;
    core_.BeforeNavigate(view, address, origin, held);
    auto it = views_.find(view);
    if (!held && it != views_.end()) it->second->Navigate(address);
  });
}

void DispatchedEvents::DownloadBegin(const std::string& view) {
  gate_.Run([this, view] { core_.DownloadBegin(view); });
}

void DispatchedEvents::DownloadComplete(const std::string& view) {
  gate_.Run([this, view] { core_.DownloadComplete(view); });
}

void DispatchedEvents::NavigateError(const std::string& view, const std::string& address, int status) {
  gate_.Run([this, view, address, status] { core_.NavigateError(view, address, status); });
}

void DispatchedEvents::UserClick(const std::string& view) {
  gate_.Run([this, view] { core_.UserClick(view); });
}

void DispatchedEvents::ContextMenu(const std::string& view, const std::string& href, const std::string& origin, int x,
                                   int y) {
  gate_.Run([this, view, href, origin, x, y] { core_.ContextMenu(view, href, origin, x, y); });
}

void DispatchedEvents::NewWindow(const std::string& view, const std::string& address, bool& cancel) {
  if (gate_.Waiting()) {
    cancel = true;
    return;
  }
  gate_.Run([&] { core_.NewWindow(view, address, cancel); });
}

}  // namespace tavlin::ui
