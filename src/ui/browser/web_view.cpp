#include "ui/browser/web_view.h"

#include <QContextMenuEvent>
#include <QDateTime>
#include <QFile>
#include <QTimer>
#include <QWebChannel>
#include <algorithm>
#include <cctype>
#include <utility>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>

#include "core/base/text.h"

namespace tavlin::ui {

namespace {

// Reads every link's href as written, before the engine turns it into a URL (which
// would rewrite "open://3" or lower-case "EEBOVOD://"), and hands it over. Relative
// web addresses are resolved against the page, as a click would.
constexpr const char* kLinkScript = R"JS(
(function () {
  // The top frame only: a frame of another page must not speak for this one.
  var bridge = null, queue = [];
  function send(fn) { if (bridge) fn(bridge); else queue.push(fn); }
  new QWebChannel(qt.webChannelTransport, function (channel) {
    bridge = channel.objects.tavlinLink;
    queue.forEach(function (fn) { fn(bridge); });
    queue = [];
  });
  var web = ['http', 'https', 'file', 'about', 'data', 'blob', 'javascript', 'mailto', 'ftp'];
  // A command link: a scheme of its own. Other links are the engine's business,
  // under the engine's rules for what a page may open.
  function isCommand(href) {
    var m = /^\s*([A-Za-z][A-Za-z0-9+.\-]*):/.exec(href);
    return m !== null && web.indexOf(m[1].toLowerCase()) < 0;
  }
  function linkOf(node) {
    while (node && node.nodeType === 1 && !(node.tagName === 'A' || node.tagName === 'AREA')) node = node.parentNode;
    return node && node.nodeType === 1 ? node : null;
  }
  // This world's own view of the document's address: the page's scripts cannot
  // change what it reads. isTrusted tells the user's click from a script's.
  var lastScripted = 0;
  document.addEventListener('click', function (e) {
    if (e.button !== 0) return;
    var a = linkOf(e.target);
    if (!a) return;
    var href = a.getAttribute('href');
    if (href === null || !isCommand(href)) return;
    e.preventDefault();
    e.stopPropagation();
    if (!e.isTrusted) {
      // A script clicking in a loop: the program takes one now and then at most, so
      // the rest need not even be sent.
      var now = performance.now();
      if (now - lastScripted < 1000 && lastScripted !== 0) return;
      lastScripted = now;
    }
    var target = a.getAttribute('target') || '';
    var page = location.href, trusted = e.isTrusted;
    send(function (b) { b.linkClicked(href, target, page, trusted); });
  }, true);
  document.addEventListener('contextmenu', function (e) {
    if (bridge && bridge.browserMenu) return;
    // A menu event a script made opens nothing (nor would the engine's own menu).
    if (!e.isTrusted) return;
    var el = document.activeElement, a = linkOf(e.target);
    var href = a ? (a.getAttribute('href') || '') : (el && el.getAttribute ? (el.getAttribute('href') || '') : '');
    e.preventDefault();
    var page = location.href;
    send(function (b) { b.contextMenu(href, page, e.clientX, e.clientY); });
  }, true);
})();
)JS";

bool HasScheme(const std::string& a, const char* scheme) { return StartsWithIgnoreCaseAscii(a, scheme); }

// A page that has not come in this time has failed, as a user would say.
constexpr int kPageTimeoutMs = 15000;
// The engine's code for a time-out (net::ERR_TIMED_OUT) and for a load that was
// stopped or replaced by another (net::ERR_ABORTED): the latter is no failure.
constexpr int kTimedOut = -7;
constexpr int kAborted = -3;
// A renderer that dies this often within this time is not brought back again.
constexpr size_t kCrashesToGiveUp = 3;
constexpr qint64 kCrashWindowMs = 60000;
constexpr const char* kGaveUpPage =
    "<!doctype html><meta charset=\"utf-8\"><body style=\"font:14px sans-serif;color:#555;margin:24px\">"
    "页面多次出错，已停止重新载入。</body>";

}  // namespace

bool IsLoadableAddress(const std::string& a) {
  return (!a.empty() && a[0] == '/') || HasScheme(a, "http://") || HasScheme(a, "https://") || HasScheme(a, "file:") ||
         HasScheme(a, "about:");
}

QWebEngineProfile& SharedProfile::Get() {
  if (profile_) return *profile_;
  profile_ = std::make_unique<QWebEngineProfile>();  // off the record: nothing kept on disk
  QWebEngineProfile* profile = profile_.get();
  auto* s = profile->settings();
  // The list pages are UTF-8 without a charset declaration.
  s->setDefaultTextEncoding(QStringLiteral("utf-8"));
  s->setUnknownUrlSchemePolicy(QWebEngineSettings::AllowAllUnknownUrlSchemes);
  // A local page may not read other files nor send anything anywhere; a page opens
  // a window only on a user's click.
  s->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
  s->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
  s->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
  s->setAttribute(QWebEngineSettings::ScrollAnimatorEnabled, false);
  s->setAttribute(QWebEngineSettings::PluginsEnabled, false);
  // Ads and other pages play sound only after a click; the page player's view is
  // let off by its window.
  s->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, true);
  // Pages that name no font (the list pages) get the desktop's CJK sans font rather
  // than a serif fallback.
  s->setFontFamily(QWebEngineSettings::StandardFont, QStringLiteral("WenQuanYi Micro Hei"));

  QFile channelJs(QStringLiteral(":/qtwebchannel/qwebchannel.js"));
  channelJs.open(QIODevice::ReadOnly);
  QWebEngineScript script;
  script.setName(QStringLiteral("tavlin-links"));
  script.setSourceCode(QString::fromUtf8(channelJs.readAll()) + QString::fromUtf8(kLinkScript));
  script.setInjectionPoint(QWebEngineScript::DocumentCreation);
  script.setWorldId(QWebEngineScript::ApplicationWorld);
  script.setRunsOnSubFrames(false);
  profile->scripts()->insert(script);
  return *profile;
}

void LinkBridge::linkClicked(const QString& href, const QString& target, const QString& page, bool trusted) {
  if (view_.failureShown()) return;  // the program's notice gives no command
  view_.LinkFromPage(href.toStdString(), target.toStdString(), OriginText(QUrl(page)), trusted);
}

std::string OriginText(const QUrl& page) {
  if (page.isLocalFile()) return page.toLocalFile().toStdString();
  return page.toString().toStdString();
}

void LinkBridge::contextMenu(const QString& activeHref, const QString& page, int x, int y) {
  if (view_.failureShown()) return;
  view_.events().ContextMenu(view_.name(), activeHref.toStdString(), OriginText(QUrl(page)), x, y);
}

WebPage::WebPage(QWebEngineProfile* profile, WebView& view) : QWebEnginePage(profile, &view), view_(view) {}

bool WebPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) {
  // Typed loads are the program's own, already seen by the core.
  if (type == NavigationTypeTyped) return true;
  const QString scheme = url.scheme().toLower();
  const bool web = scheme == "http" || scheme == "https" || scheme == "file" || scheme == "about" || scheme == "data" ||
                   scheme == "blob" || scheme == "qrc";
  bool cancel = false;
  if (!web) {
    // A command address that did not come through a click on the top frame's own
    // link: a script set a location, a form was sent, a frame (of whatever site)
    // aimed at the top, or a server redirected here. The engine names the frame to
    // be navigated, never the one that started it, so it comes from nowhere and gives
    // no command. Never load it.
    view_.events().BeforeNavigate(view_.name(), url.toString().toStdString(), std::string(), cancel);
    return false;
  }
  const std::string origin = isMainFrame ? OriginText(this->url()) : std::string();
  // Local files are the core's to allow, whichever frame asks and however.
  if (scheme != "file" && (!isMainFrame || type == NavigationTypeBackForward || type == NavigationTypeReload ||
                           type == NavigationTypeRedirect)) {
    return true;
  }
  view_.events().BeforeNavigate(view_.name(), url.toString().toStdString(), origin, cancel);
  return !cancel;
}

namespace {
// Catches the address of a window a page asked for, then goes away.
class NewWindowCatcher : public QWebEnginePage {
 public:
  NewWindowCatcher(QWebEngineProfile* profile, WebView& opener) : QWebEnginePage(profile, &opener), opener_(opener) {}

 protected:
  bool acceptNavigationRequest(const QUrl& url, NavigationType, bool) override {
    if (!done_) {
      done_ = true;
      const std::string address = url.toString().toStdString();
      WebView* opener = &opener_;
      deleteLater();
      bool cancel = false;
      opener->events().NewWindow(opener->name(), address, cancel);
      // Whoever asked for the window, a script or a frame, is not known here.
      if (!cancel) opener->LinkFromPage(address, "", std::string(), false);
    }
    return false;
  }

 private:
  WebView& opener_;
  bool done_ = false;
};
}  // namespace

QWebEnginePage* WebPage::createWindow(WebWindowType) {
  auto* catcher = new NewWindowCatcher(profile(), view_);
  // A window that never navigates would keep its page alive: it goes in any case.
  QTimer::singleShot(2000, catcher, &QObject::deleteLater);
  return catcher;
}

WebView::WebView(const std::string& name, SharedProfile& profile, DispatchedEvents& events, bool browserMenu,
                 QWidget* parent)
    : QWebEngineView(parent),
      name_(name),
      profile_(profile),
      events_(events),
      gate_(events.gate()),
      bridge_(*this, browserMenu),
      loadTimer_(new QTimer(this)) {
  setContextMenuPolicy(Qt::DefaultContextMenu);
  // Until its first page the view is a plain widget: show it as a blank page.
  QPalette blank = palette();
  blank.setColor(QPalette::Window, Qt::white);
  setPalette(blank);
  setAutoFillBackground(true);
  loadTimer_->setSingleShot(true);
  loadTimer_->setInterval(kPageTimeoutMs);
}

WebPage& WebView::Page() {
  if (page_) return *page_;
  page_ = new WebPage(&profile_.Get(), *this);
  page_->settings()->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, playbackNeedsGesture_);
  setPage(page_);
  failure_ = new FailurePage(*page_, *this, [this](const std::string& address) { Navigate(address); });
  channel_ = new QWebChannel(this);
  channel_->registerObject(QStringLiteral("tavlinLink"), &bridge_);
  page_->setWebChannel(channel_, QWebEngineScript::ApplicationWorld);
  WatchLoad();
  // Follow redirects and in-page navigations; error pages keep the address asked for.
  connect(page_, &QWebEnginePage::urlChanged, this, [this](const QUrl& u) {
    if (u.isLocalFile()) current_ = u.toLocalFile().toStdString();
    else if ((u.scheme() == "http" || u.scheme() == "https") && !SameAddress(current_, u))
      current_ = u.toString().toStdString();
  });
  connect(page_, &QWebEnginePage::renderProcessTerminated, this,
          [this](QWebEnginePage::RenderProcessTerminationStatus status, int) {
            if (status != QWebEnginePage::NormalTerminationStatus) RendererGone();
          });
  return *page_;
}

void WebView::SetPlaybackNeedsGesture(bool needs) {
  playbackNeedsGesture_ = needs;
  if (page_) page_->settings()->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, needs);
}

void WebView::showEvent(QShowEvent* event) {
  Page();
  QWebEngineView::showEvent(event);
}

void WebView::hideEvent(QHideEvent* event) {
  if (page_) QWebEngineView::hideEvent(event);
  else QWidget::hideEvent(event);  // NOLINT(bugprone-parent-virtual-call): no page to tell
}

void WebView::closeEvent(QCloseEvent* event) {
  if (page_) QWebEngineView::closeEvent(event);
  else QWidget::closeEvent(event);  // NOLINT(bugprone-parent-virtual-call): no page to tell
}

WebView::~WebView() { gate_.Forget(*this); }

void WebView::WatchLoad() {
  connect(page_, &QWebEnginePage::loadStarted, this, [this] {
    if (failure_->shown()) return;  // the notice is no page the program asked for
    loaded_ = false;
    timedOut_ = false;
    loadTimer_->start();
    events_.DownloadBegin(name_);
  });
  // A failure of the main frame: no connection, an error status, or no page in time.
  connect(page_, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo& info) {
    if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) loadTimer_->setProperty("url", info.url());
    if (info.status() != QWebEngineLoadingInfo::LoadFailedStatus || timedOut_) return;
    if (info.errorDomain() == QWebEngineLoadingInfo::NoErrorDomain) return;
    const bool aborted =
        info.errorDomain() != QWebEngineLoadingInfo::HttpStatusCodeDomain && info.errorCode() == kAborted;
    if (aborted) return;
    // The address as the program asked for it, when it is that one.
    const std::string failed = SameAddress(current_, info.url()) ? current_ : info.url().toString().toStdString();
    events_.NavigateError(name_, failed, info.errorCode());
  });
  connect(loadTimer_, &QTimer::timeout, this, [this] {
    timedOut_ = true;
    const QUrl url = loadTimer_->property("url").toUrl();
    events_.NavigateError(name_, SameAddress(current_, url) ? current_ : url.toString().toStdString(), kTimedOut);
    page_->triggerAction(QWebEnginePage::Stop);
  });
  connect(page_, &QWebEnginePage::loadFinished, this, [this](bool) {
    if (failure_->shown() || std::exchange(passingThrough_, false)) return;
    loadTimer_->stop();
    loaded_ = true;
    events_.DownloadComplete(name_);
  });
}

void WebView::RendererGone() {
  // The page comes back in a new renderer; the program and the other views go on.
  const qint64 now = QDateTime::currentMSecsSinceEpoch();
  std::erase_if(crashes_, [now](qint64 at) { return now - at > kCrashWindowMs; });
  crashes_.push_back(now);
  if (crashes_.size() >= kCrashesToGiveUp) {
    // A page that kills its renderer again and again is not loaded in a loop.
    gaveUp_ = true;
    QTimer::singleShot(0, this, [this] { Page().setHtml(QString::fromUtf8(kGaveUpPage)); });
    return;
  }
  QTimer::singleShot(0, this, [this] { Page().triggerAction(QWebEnginePage::Reload); });
}

void WebView::FollowLink(const std::string& href, const std::string& target) {
  LinkFromPage(href, target, OriginText(Page().url()), true);
}

void WebView::LinkFromPage(const std::string& href, const std::string& target, const std::string& origin,
                           bool userClick) {
  bool cancel = false;
  if (target == "_blank") {
    events_.NewWindow(name_, href, cancel);
    if (cancel) return;
  }
  if (userClick) events_.UserClick(name_);
  events_.BeforeNavigate(name_, href, origin, cancel);
  if (!cancel) Navigate(href);
}

void WebView::Navigate(const std::string& address) {
  if (failure_) failure_->Clear();
  current_ = address;
  gaveUp_ = false;
  if (!IsLoadableAddress(address)) return;  // command text: never handed to the engine
  if (!engineUsed_ && HasScheme(address, "about:blank") && address.size() == 11) {
    // A page that never loaded anything is blank already; loading about:blank would
    // start a renderer process of its own (about 20 MiB) for nothing. The load events
    // still come, after the caller has returned, as the engine would raise them.
    QTimer::singleShot(0, this, [this] {
      if (engineUsed_) return;
      events_.DownloadBegin(name_);
      loaded_ = true;
      events_.DownloadComplete(name_);
    });
    return;
  }
  engineUsed_ = true;
  loaded_ = false;
  // The first page the program asks for is the one on screen: it gets the engine to
  // itself (rule 6 of ui/shell/event_gate.h).
  switch (gate_.AskToLoad(*this)) {
    case EventGate::PageTurn::Hold:
      held_ = address;
      if (!offScreen_) {
        wantsVisible_ = isVisibleTo(parentWidget());
        offScreen_ = true;
        QWebEngineView::setVisible(false);
      }
      return;
    case EventGate::PageTurn::LoadFirst: LoadFirst(address); return;
    case EventGate::PageTurn::Load: Load(address); return;
  }
}

void WebView::setVisible(bool visible) {
  if (offScreen_) {
    wantsVisible_ = visible;
    return;
  }
  QWebEngineView::setVisible(visible);
}

void WebView::LoadHeldPage(bool first) {
  if (std::exchange(offScreen_, false)) QWebEngineView::setVisible(wantsVisible_);
  first ? LoadFirst(held_) : Load(held_);
}

void WebView::LoadFirst(const std::string& address) {
  connect(&Page(), &QWebEnginePage::loadFinished, this, [this] { gate_.FirstPageDone(); });
  QTimer::singleShot(EventGate::kFirstPageMs, this, [this] { gate_.FirstPageDone(); });
  Load(address);
}

// A view without a page has nothing to reload, no history and no selection.
void WebView::Refresh() {
  // On the notice, a refresh is the retry.
  if (failureShown()) Navigate(failure_->address());
  else if (page_) page_->triggerAction(QWebEnginePage::Reload);
}
void WebView::GoBack() {
  if (!page_) return;
  failure_->Clear();
  page_->triggerAction(QWebEnginePage::Back);
}
void WebView::GoForward() {
  if (!page_) return;
  failure_->Clear();
  page_->triggerAction(QWebEnginePage::Forward);
}
bool WebView::CanGoBack() const { return page_ && page_->history()->canGoBack(); }
bool WebView::CanGoForward() const { return page_ && page_->history()->canGoForward(); }
void WebView::Copy() {
  if (page_) page_->triggerAction(QWebEnginePage::Copy);
}
void WebView::Paste() {
  if (page_) page_->triggerAction(QWebEnginePage::Paste);
}

std::string WebView::CurrentAddress() const { return current_; }

void WebView::contextMenuEvent(QContextMenuEvent* e) {
  if (bridge_.browserMenu()) {
    QWebEngineView::contextMenuEvent(e);
    return;
  }
  // The page script reports right clicks with the link under the pointer; the
  // engine's own menu never shows.
  e->accept();
}

// --- Addresses as the program wrote them ---------------------------------------
//
// The portal's titles are escape()d text ("%u730E%u8C79"). QUrl takes "%u7" for a
// broken escape and sends "%25u730E", which the portal does not read as the title. An
// address holding such an escape therefore reaches the engine untouched: a page of
// ours, with no script, sends the view there at once and leaves no history entry.

bool HasLoneEscape(const std::string& address) {
  for (size_t i = 0; i < address.size(); ++i) {
    if (address[i] != '%') continue;
    if (i + 2 >= address.size() || !std::isxdigit(static_cast<unsigned char>(address[i + 1])) ||
        !std::isxdigit(static_cast<unsigned char>(address[i + 2]))) {
      return true;
    }
  }
  return false;
}

bool SameAddress(const std::string& address, const QUrl& url) {
  return !address.empty() && QUrl(QString::fromStdString(address)) == url;
}

void WebView::Load(const std::string& address) {
  // The only local pages that ever load are the program's own lists (the core
  // refuses every other file), and they show their delete icon from beside them.
  const bool local = address[0] == '/' || HasScheme(address, "file:");
  Page().settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, local);
  if (address[0] == '/') {
    page_->load(QUrl::fromLocalFile(QString::fromStdString(address)));
  } else if (HasLoneEscape(address) && (HasScheme(address, "http://") || HasScheme(address, "https://"))) {
    LoadAsWritten(address);
  } else {
    page_->load(QUrl(QString::fromStdString(address)));
  }
}

void WebView::ShowFailure(const std::string& notice, const std::string& address) {
  loadTimer_->stop();
  Page();
  failure_->Show(notice, address);
}

void WebView::LoadAsWritten(const std::string& address) {
  passingThrough_ = true;
  // Quotes would end the attribute; the engine would send them escaped anyway.
  const QString target = QString::fromStdString(ReplaceAll(ReplaceAll(address, "'", "%27"), "\"", "%22"));
  Page().setHtml(
      QStringLiteral("<!doctype html><meta charset=\"utf-8\"><meta http-equiv=\"refresh\" content=\"0; url='") +
      target.toHtmlEscaped() + QStringLiteral("'\">"));
}

}  // namespace tavlin::ui
