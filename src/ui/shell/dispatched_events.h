#pragma once
// What a window's views report reaches the core through MainWindow::Dispatch, so the
// windows show what a handler changed. While a handler waits for the portal, a
// navigation is held back (and made once the core has let it through) and a new
// window refused.
#include <map>
#include <string>

#include "platform/browser_view.h"

namespace tavlin::ui {

class MainWindow;

class DispatchedEvents final : public BrowserEvents {
 public:
  DispatchedEvents(MainWindow& window, BrowserEvents& core) : window_(window), core_(core) {}
  // The view a held navigation of that name goes to.
  void Serve(const std::string& name, BrowserView& view) { views_[name] = &view; }

  void BeforeNavigate(const std::string& view, const std::string& address, const std::string& origin,
                      bool& cancel) override;
  void DownloadBegin(const std::string& view) override;
  void DownloadComplete(const std::string& view) override;
  void NavigateError(const std::string& view, const std::string& address, int status) override;
  void UserClick(const std::string& view) override;
  void ContextMenu(const std::string& view, const std::string& href, const std::string& origin, int x,
                   int y) override;
  void NewWindow(const std::string& view, const std::string& address, bool& cancel) override;

 private:
  MainWindow& window_;
  BrowserEvents& core_;
  std::map<std::string, BrowserView*> views_;
};

}  // namespace tavlin::ui
