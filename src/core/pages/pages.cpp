#include "core/pages/pages.h"

#include "core/base/text.h"

namespace tavlin::pages {

bool KeepsBrowserMenu(const std::string& view) { return view == "Web6" || view == "Web7" || view == "Web9"; }
bool PlaysWithoutGesture(const std::string& view) { return view == "Web2"; }

bool ShowsFailureNotice(const std::string& view) {
  return view == "Web2" || view == "Web5" || view == "Web7" || view == "Web9" || view == "Weby";
}

void Pages::Attach(forms::LinkRouter& links, forms::ControlRouter& input) {
  links.Observe(*this);
  views_ = &links;
  auto retry = [this](const forms::InputEvent& e) {
    if (e.kind == forms::InputEvent::Click) Retry();
  };
  input.Route(area_.RetryLink(), retry);
  input.Route(area_.RetryNotice(), retry);
}

void Pages::Retry() {
  if (views_) views_->Navigate2("Web1", portal_.HomeAgain());
  // The portal shows at once, before its page has come.
  area_.ShowPortal();
}

void Pages::DownloadComplete(const std::string& view) {
  // Once an error was shown only the retry shows the portal again.
  if (view != "Web1" || flags_.PortalErrorShown == 1) return;
  area_.ShowPortal();
}

void Pages::NavigateError(const std::string& view, const std::string& address, int) {
  auto& flags = flags_;
  const bool portal = address.find(portal_.base) != std::string::npos;
  if (view == "Web1" && portal) {
    area_.ShowPortalFailed(kPortalErrorText);
    flags.PortalErrorShown = 1;
  } else if (view == "Weby" && portal) {
    flags.BannerAdFailed = 1;  // the side panel then stays closed at start
  } else if (view == "Web7") {
    area_.ShowPlayerAdFailed();
    flags.PlayerAdFailed = 1;
  }
  // The engine's own error page is English-flavoured and stays after the portal is
  // back; the notice comes back by itself.
  if (portal && ShowsFailureNotice(view)) {
    if (BrowserView* failed = views_ ? views_->View(view) : nullptr) failed->ShowFailure(kPageFailedText, address);
  }
}

void Pages::ContextMenu(const std::string& view, const std::string&, const std::string&, int, int) {
  if (view == "Web1") menus_.PopupAtPointer("myMenu");
}

void Pages::NewWindow(const std::string&, const std::string& address, bool& cancel) {
  // No view opens a window of its own; a web page goes to the user's browser, and
  // nothing else a page asks for (local files, scripts, link commands) goes anywhere.
  cancel = true;
  if (IsWebAddress(address)) desktop_.OpenUrl(address);
}

}  // namespace tavlin::pages
