#pragma once
// The web views of the program and the one road of every navigation: the program's
// own (Navigate2) and those the views report (links, scripts) pass the same
// before-navigate handling. Command links are routed by their scheme to the
// subsystem that carries them out; what nobody claims goes through.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/browser_view.h"
#include "platform/clock.h"
#include "platform/view_navigator.h"

namespace tavlin::forms {

// Where a link came from, as far as trusting it goes.
enum class LinkSource { Program, ListPage, Portal, Elsewhere };

// A subsystem that carries out the links of one scheme.
class LinkHandler {
 public:
  virtual ~LinkHandler() = default;
  // The raw text, as the page wrote it; set cancel so that no view loads it.
  virtual void BeforeNavigate(const std::string& view, const std::string& address, bool& cancel) = 0;
};

// A subsystem that hears what the views report and cares for some of it: the events
// it does not override pass it by.
class PageObserver : public BrowserEvents {
 public:
  void BeforeNavigate(const std::string&, const std::string&, const std::string&, bool&) override {}
  void UserClick(const std::string&) override {}
  void DownloadBegin(const std::string&) override {}
  void DownloadComplete(const std::string&) override {}
  void NavigateError(const std::string&, const std::string&, int) override {}
  void ContextMenu(const std::string&, const std::string&, const std::string&, int, int) override {}
  void NewWindow(const std::string&, const std::string&, bool&) override {}
};

// Commands from pages come one per click of the user's; the same command again
// within a double click's time is a repeat and dropped (a list's top entry deleted
// twice in a row is no repeat); without a click (a page's script clicking, as the
// episode page does to start its episode) one now and then at most. A page that
// clicks links in a loop thus gets one command, not a queue of them.
inline constexpr int64_t kCommandRepeatMs = 600;
inline constexpr int64_t kUnclickedCommandGapMs = 5000;

class LinkRouter final : public BrowserEvents, public ViewNavigator {
 public:
  explicit LinkRouter(Clock& clock) : clock_(clock) {}
  LinkRouter(const LinkRouter&) = delete;
  LinkRouter& operator=(const LinkRouter&) = delete;

  void AddView(const std::string& name, BrowserView& view);
  // The pages whose links are trusted: the portal's (by its origin) and the
  // program's own local pages, the only local files any view may load.
  void Trust(const std::string& portalBase, std::vector<std::string> localPages);
  LinkSource SourceOf(const std::string& origin) const;
  // Nothing when the program has no view of that name.
  BrowserView* View(const std::string& name) const;

  // Addresses whose scheme (letter case ignored) is scheme, from the sources given;
  // from any other source they are dropped (cancelled, never carried out).
  void RouteScheme(const std::string& scheme, LinkHandler& handler, std::vector<LinkSource> from);
  // Addresses that start with prefix exactly: markers only the program sends itself.
  void RoutePrefix(const std::string& prefix, LinkHandler& handler);
  // Receives every event of every view after the routed handlers.
  void Observe(BrowserEvents& observer);

  // ViewNavigator: the program's own navigation, seen first as a view would report it.
  void Navigate2(const std::string& view, const std::string& address) override;

  // BrowserEvents
  void BeforeNavigate(const std::string& view, const std::string& address, const std::string& origin,
                      bool& cancel) override;
  void UserClick(const std::string& view) override;
  void DownloadBegin(const std::string& view) override;
  void DownloadComplete(const std::string& view) override;
  void NavigateError(const std::string& view, const std::string& address, int status) override;
  // The link under the pointer reaches the observers only from a page that may give
  // its command: no other page chooses which list entry the menu acts on.
  void ContextMenu(const std::string& view, const std::string& activeHref, const std::string& origin, int x,
                   int y) override;
  void NewWindow(const std::string& view, const std::string& address, bool& cancel) override;

 private:
  struct Route {
    LinkHandler* handler;
    std::vector<LinkSource> from;
  };
  const Route* RouteFor(const std::string& address) const;
  bool LocalPageAllowed(const std::string& address) const;
  bool Allowed(const Route& route, const std::string& origin) const;
  // Whether a command from a page counts now (see kCommandRepeatMs).
  bool AdmitPageCommand(const std::string& address, bool clicked);

  Clock& clock_;
  std::string clickedView_;  // the view whose link the user has just clicked
  std::string lastCommand_;
  int64_t lastCommandAt_ = 0;
  int64_t lastUnclickedAt_ = 0;
  bool anyCommand_ = false, anyUnclicked_ = false;

  std::map<std::string, BrowserView*> views_;
  std::string portalOrigin_;
  std::vector<std::string> localPages_;
  std::map<std::string, Route> schemes_;  // lower case
  std::vector<std::pair<std::string, Route>> prefixes_;
  std::vector<BrowserEvents*> observers_;
};

// The scheme of an address in lower case ("" when it has none).
std::string SchemeOf(const std::string& address);
// "scheme://host:port" of a web address in lower case, "" for anything else.
std::string OriginOf(const std::string& address);
// The path of a local file address ("/..." or "file://..."), "" for anything else.
std::string LocalPathOf(const std::string& address);

}  // namespace tavlin::forms
