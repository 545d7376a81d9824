#pragma once
// An embedded web view of the main window. Link clicks reach the core as the raw
// text of the link's href (a script in its own world reads it before the engine
// parses it); navigations the program makes go through the core first too.
#include <QObject>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <functional>
#include <memory>
#include <vector>

#include "platform/browser_view.h"
#include "ui/browser/failure_page.h"
#include "ui/shell/dispatched_events.h"
#include "ui/shell/event_gate.h"

class QWebEngineProfile;
class QWebChannel;

namespace tavlin::ui {

class WebView;

// The object the injected script calls.
class LinkBridge : public QObject {
  Q_OBJECT
  // Read by the page's script: a right click there is the browser's own.
  Q_PROPERTY(bool browserMenu READ browserMenu CONSTANT)
 public:
  LinkBridge(WebView& view, bool browserMenu) : view_(view), browserMenu_(browserMenu) {}
  // page: the address of the document that holds the link, as the script's own
  // world reads it; trusted: the user's click, not a script's.
  Q_INVOKABLE void linkClicked(const QString& href, const QString& target, const QString& page, bool trusted);
  Q_INVOKABLE void contextMenu(const QString& activeHref, const QString& page, int x, int y);
  bool browserMenu() const { return browserMenu_; }

 private:
  WebView& view_;
  bool browserMenu_;
};

class WebPage : public QWebEnginePage {
 public:
  WebPage(QWebEngineProfile* profile, WebView& view);

 protected:
  bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
  QWebEnginePage* createWindow(WebWindowType type) override;
  // Silent: the portal's scripts never show dialogs.
  void javaScriptAlert(const QUrl&, const QString&) override {}
  bool javaScriptConfirm(const QUrl&, const QString&) override { return false; }
  bool javaScriptPrompt(const QUrl&, const QString&, const QString&, QString*) override { return false; }
  void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int, const QString&) override {}

 private:
  WebView& view_;
};

// The profile every view shares, set up for the program's pages. It is made when the
// first page needs it: making it starts the web engine (some 60 ms, and the engine's
// helper processes), which a start with a media file leaves until the film is on
// screen.
class SharedProfile {
 public:
  QWebEngineProfile& Get();

 private:
  std::unique_ptr<QWebEngineProfile> profile_;
};

class WebView : public QWebEngineView, public BrowserView, private EventGate::HeldPage {
 public:
  // browserMenu: a right click shows the engine's own menu; otherwise it is reported.
  // The view reports through events, and takes its turn to load at events' gate. Its
  // page is made when it first loads or shows: until then it is a blank widget, and
  // needs no web engine.
  WebView(const std::string& name, SharedProfile& profile, DispatchedEvents& events, bool browserMenu, QWidget* parent);
  ~WebView() override;

  const std::string& name() const { return name_; }
  BrowserEvents& events() { return events_; }
  // The user clicked a link with this exact href text on the page shown.
  void FollowLink(const std::string& href, const std::string& target);
  // A link of the document at origin was clicked, by the user or by a script.
  void LinkFromPage(const std::string& href, const std::string& target, const std::string& origin, bool userClick);

  // Sounds and films of the page wait for a click on it (the default).
  void SetPlaybackNeedsGesture(bool needs);

  void Navigate(const std::string& address) override;
  void Refresh() override;
  void GoBack() override;
  void GoForward() override;
  bool CanGoBack() const override;
  bool CanGoForward() const override;
  void Copy() override;
  void Paste() override;
  std::string CurrentAddress() const override;
  void ShowFailure(const std::string& notice, const std::string& address) override;
  // The program's notice stands in for a failed page.
  bool failureShown() const { return failure_ && failure_->shown(); }
  // The page asked for last has finished loading.
  bool loaded() const { return loaded_; }
  // While its page waits its turn the view stays off screen; the window's wish is
  // kept and applied when the turn comes.
  void setVisible(bool visible) override;
  // The process that renders the page; 0 while there is none.
  qint64 rendererPid() const { return page_ ? page_->renderProcessPid() : 0; }
  // The renderer died too often: the view shows a plain error page.
  bool gaveUp() const { return gaveUp_; }

 protected:
  void contextMenuEvent(QContextMenuEvent*) override;
  // The engine's view asks its page for these: ours is made first.
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  friend class WebPage;
  // The page, made at the first need.
  WebPage& Page();
  void WatchLoad();
  void RendererGone();
  std::string name_;
  SharedProfile& profile_;
  BrowserEvents& events_;
  EventGate& gate_;
  LinkBridge bridge_;
  QWebChannel* channel_ = nullptr;
  WebPage* page_ = nullptr;
  bool playbackNeedsGesture_ = true;
  std::string current_;
  bool loaded_ = false;
  bool engineUsed_ = false;  // the page has been given an address to load
  std::string held_;         // waiting for the first page of the program
  // Shown while its page waits, the engine would start a renderer for the empty
  // page, beside the one the first page needs.
  bool offScreen_ = false;
  bool wantsVisible_ = false;  // what the window asked meanwhile
  QTimer* loadTimer_;          // a page that does not come in time has failed
  bool timedOut_ = false;
  std::vector<qint64> crashes_;  // when the renderer died, ms since the epoch
  bool gaveUp_ = false;
  FailurePage* failure_ = nullptr;
  bool passingThrough_ = false;  // the page of LoadAsWritten is up: not a page of its own
  // EventGate::HeldPage
  void LoadHeldPage(bool first) override;
  void LoadFirst(const std::string& address);
  // Hands an address to the engine, as written (see LoadAsWritten).
  void Load(const std::string& address);
  void LoadAsWritten(const std::string& address);
};

// The origin the core is told of for a page: a local page as its path.
std::string OriginText(const QUrl& page);

// Whether an address may be handed to the engine (web pages, local files, blank).
bool IsLoadableAddress(const std::string& address);
// A "%" not followed by two hex digits: QUrl would rewrite it to "%25".
bool HasLoneEscape(const std::string& address);
// The address asked for and the one the engine reports are one (QUrl reads the
// former as the latter).
bool SameAddress(const std::string& address, const QUrl& url);

}  // namespace tavlin::ui
