#pragma once
// What a window's views report reaches the core through the event gate, so the
// windows show what a handler changed. While a handler waits for the portal, a
// navigation is held back (and made once the core has let it through) and a new
// window refused (rule 4 of ui/shell/event_gate.h).
#include <map>
#include <string>

#include "platform/browser_view.h"
#include "ui/shell/event_gate.h"

namespace tavlin::ui {

class MainWindow;

class DispatchedEvents final : public BrowserEvents {
 public:
  DispatchedEvents(EventGate& gate, BrowserEvents& core) : gate_(gate), core_(core) {}
  DispatchedEvents(MainWindow& window, BrowserEvents& core);
  EventGate& gate() { return gate_; }
  // The view a held navigation of that name goes to.
  void Serve(const std::string& name, BrowserView& view) { views_[name] = &view; }

  void BeforeNavigate(const std::string& view, const std::string& address, const std::string& origin,
                      bool& cancel) override;
  void DownloadBegin(const std::string& view) override;
  void DownloadComplete(const std::string& view) override;
  void NavigateError(const std::string& view, const std::string& address, int status) override;
  void UserClick(const std::string& view) override;
  void ContextMenu(const std::string& view, const std::string& href, const std::string& origin, int x, int y) override;
  void NewWindow(const std::string& view, const std::string& address, bool& cancel) override;

 private:
  EventGate& gate_;
  BrowserEvents& core_;
  std::map<std::string, BrowserView*> views_;
};

}  // namespace tavlin::ui
