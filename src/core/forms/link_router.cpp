#include "core/forms/link_router.h"

#include <algorithm>
#include <cctype>

#include "core/base/text.h"

namespace tavlin::forms {

std::string SchemeOf(const std::string& address) {
  const size_t colon = address.find(':');
  if (colon == std::string::npos || colon == 0) return "";
  for (size_t i = 0; i < colon; ++i) {
    const char c = address[i];
    const bool ok = std::isalpha(static_cast<unsigned char>(c)) ||
                    (i > 0 && (std::isdigit(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.'));
    if (!ok) return "";
  }
  std::string scheme = address.substr(0, colon);
  for (char& c : scheme) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return scheme;
}

std::string OriginOf(const std::string& address) {
  const std::string scheme = SchemeOf(address);
  if (scheme != "http" && scheme != "https") return "";
  const size_t start = scheme.size() + 1;
  if (address.compare(start, 2, "//") != 0) return "";
  const size_t end = address.find_first_of("/?#", start + 2);
  std::string origin = scheme + "://" + address.substr(start + 2, end == std::string::npos ? end : end - start - 2);
  for (char& c : origin) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return origin;
}

std::string LocalPathOf(const std::string& address) {
  if (!address.empty() && address[0] == '/') return address;
  if (SchemeOf(address) != "file") return "";
  std::string rest = address.substr(5);
  if (rest.rfind("//localhost/", 0) == 0) rest = rest.substr(11);
  else if (rest.rfind("//", 0) == 0) rest = rest.substr(2);
  rest = rest.substr(0, rest.find_first_of("?#"));
  // A path of another host is no local file of ours either.
  return !rest.empty() && rest[0] == '/' ? UnescapeText(rest) : "";
}

void LinkRouter::AddView(const std::string& name, BrowserView& view) { views_[name] = &view; }

void LinkRouter::Trust(const std::string& portalBase, std::vector<std::string> localPages) {
  portalOrigin_ = OriginOf(portalBase);
  localPages_ = std::move(localPages);
}

LinkSource LinkRouter::SourceOf(const std::string& origin) const {
  if (origin == kProgramOrigin) return LinkSource::Program;
  const std::string path = LocalPathOf(origin);
  if (!path.empty() && std::find(localPages_.begin(), localPages_.end(), path) != localPages_.end()) {
    return LinkSource::ListPage;
  }
  if (!portalOrigin_.empty() && OriginOf(origin) == portalOrigin_) return LinkSource::Portal;
  return LinkSource::Elsewhere;
}

bool LinkRouter::LocalPageAllowed(const std::string& address) const {
  const bool local = (!address.empty() && address[0] == '/') || SchemeOf(address) == "file";
  if (!local) return true;
  const std::string path = LocalPathOf(address);
  return !path.empty() && std::find(localPages_.begin(), localPages_.end(), path) != localPages_.end();
}

BrowserView* LinkRouter::View(const std::string& name) const {
  auto it = views_.find(name);
  return it == views_.end() ? nullptr : it->second;
}

void LinkRouter::RouteScheme(const std::string& scheme, LinkHandler& handler, std::vector<LinkSource> from) {
  std::string key = scheme;
  for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  schemes_[key] = {&handler, std::move(from)};
}

void LinkRouter::RoutePrefix(const std::string& prefix, LinkHandler& handler) {
  prefixes_.emplace_back(prefix, Route{&handler, {LinkSource::Program}});
}

void LinkRouter::Observe(BrowserEvents& observer) { observers_.push_back(&observer); }

const LinkRouter::Route* LinkRouter::RouteFor(const std::string& address) const {
  for (const auto& [prefix, route] : prefixes_)
    if (address.compare(0, prefix.size(), prefix) == 0) return &route;
  auto it = schemes_.find(SchemeOf(address));
  return it == schemes_.end() ? nullptr : &it->second;
}

void LinkRouter::Navigate2(const std::string& view, const std::string& address) {
  bool cancel = false;
  BeforeNavigate(view, address, kProgramOrigin, cancel);
  if (cancel) return;
  if (BrowserView* v = View(view)) v->Navigate(address);
}

bool LinkRouter::Allowed(const Route& route, const std::string& origin) const {
  return std::find(route.from.begin(), route.from.end(), SourceOf(origin)) != route.from.end();
}

bool LinkRouter::AdmitPageCommand(const std::string& address, bool clicked) {
  const int64_t now = clock_.Milliseconds();
  if (anyCommand_ && address == lastCommand_ && now - lastCommandAt_ < kCommandRepeatMs) return false;
  if (!clicked) {
    if (anyUnclicked_ && now - lastUnclickedAt_ < kUnclickedCommandGapMs) return false;
    anyUnclicked_ = true;
    lastUnclickedAt_ = now;
  }
  anyCommand_ = true;
  lastCommand_ = address;
  lastCommandAt_ = now;
  return true;
}

void LinkRouter::UserClick(const std::string& view) {
  clickedView_ = view;
  for (BrowserEvents* o : observers_) o->UserClick(view);
}

void LinkRouter::BeforeNavigate(const std::string& view, const std::string& address, const std::string& origin,
                                bool& cancel) {
  // A click counts for the one navigation reported right after it.
  const bool program = origin == kProgramOrigin;
  const bool clicked = !program && clickedView_ == view;
  if (!program) clickedView_.clear();
  // A local page may read other local files: no view shows one but the program's own.
  if (!LocalPageAllowed(address)) {
    cancel = true;
    return;
  }
  if (const Route* route = RouteFor(address)) {
    // A command from a page that may not give it, or one too many.
    if (!Allowed(*route, origin) || (!program && !AdmitPageCommand(address, clicked))) {
      cancel = true;
      return;
    }
    route->handler->BeforeNavigate(view, address, cancel);
  }
  for (BrowserEvents* o : observers_) o->BeforeNavigate(view, address, origin, cancel);
}

void LinkRouter::DownloadBegin(const std::string& view) {
  for (BrowserEvents* o : observers_) o->DownloadBegin(view);
}

void LinkRouter::DownloadComplete(const std::string& view) {
  for (BrowserEvents* o : observers_) o->DownloadComplete(view);
}

void LinkRouter::NavigateError(const std::string& view, const std::string& address, int status) {
  for (BrowserEvents* o : observers_) o->NavigateError(view, address, status);
}

void LinkRouter::ContextMenu(const std::string& view, const std::string& activeHref, const std::string& origin, int x,
                             int y) {
  const Route* route = RouteFor(activeHref);
  const std::string href = route && !Allowed(*route, origin) ? std::string() : activeHref;
  for (BrowserEvents* o : observers_) o->ContextMenu(view, href, origin, x, y);
}

void LinkRouter::NewWindow(const std::string& view, const std::string& address, bool& cancel) {
  for (BrowserEvents* o : observers_) o->NewWindow(view, address, cancel);
}

}  // namespace tavlin::forms
