#pragma once
// An embedded web view as the core drives it. Every navigation the program makes
// goes through the core's before-navigate handling first (see BrowserEvents); the
// view only reaches the engine with addresses that were not cancelled.
#include <string>

namespace tavlin {

class BrowserView {
 public:
  virtual ~BrowserView() = default;
  virtual void Navigate(const std::string& address) = 0;
  virtual void Refresh() = 0;
  virtual void GoBack() = 0;
  virtual void GoForward() = 0;
  virtual bool CanGoBack() const = 0;
  virtual bool CanGoForward() const = 0;
  virtual void Copy() = 0;
  virtual void Paste() = 0;
  virtual std::string CurrentAddress() const = 0;
  // In place of a page that failed to load: the program's notice (plain text), on a
  // page of the view's own that runs no script and gives no command. The view goes
  // back to address by itself once it answers again, or at a click on the notice.
  virtual void ShowFailure(const std::string& notice, const std::string& address) = 0;
};

// The origin of the program's own navigations.
inline constexpr const char* kProgramOrigin = "program:";

// Events a view raises, with the view's name ("Web1"...).
class BrowserEvents {
 public:
  virtual ~BrowserEvents() = default;
  // address is the raw text of the link or navigation; origin is the address of the
  // page that held the link or started the navigation (a local page as its path),
  // kProgramOrigin for the program's own, "" when the view cannot tell (a sub-frame).
  // Set cancel to stop it.
  virtual void BeforeNavigate(const std::string& view, const std::string& address, const std::string& origin,
                              bool& cancel) = 0;
  virtual void DownloadBegin(const std::string& view) = 0;
  virtual void DownloadComplete(const std::string& view) = 0;
  virtual void NavigateError(const std::string& view, const std::string& address, int status) = 0;
  // The user's own click (or key) on a link of the view, not a page's script: the
  // navigation it starts is reported next, at once.
  virtual void UserClick(const std::string& view) = 0;
  // A real right click on the document; x, y in the view; origin: the page that
  // holds the element clicked, as for BeforeNavigate.
  virtual void ContextMenu(const std::string& view, const std::string& activeHref, const std::string& origin, int x,
                           int y) = 0;
  // A link or script asked for a new window; set cancel to refuse it.
  virtual void NewWindow(const std::string& view, const std::string& address, bool& cancel) = 0;
};

}  // namespace tavlin
