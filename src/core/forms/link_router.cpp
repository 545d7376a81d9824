#include "core/forms/link_router.h"

#include <cctype>

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

void LinkRouter::AddView(const std::string& name, BrowserView& view) { views_[name] = &view; }

BrowserView* LinkRouter::View(const std::string& name) const {
  auto it = views_.find(name);
  return it == views_.end() ? nullptr : it->second;
}

void LinkRouter::RouteScheme(const std::string& scheme, LinkHandler& handler) {
  std::string key = scheme;
  for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  schemes_[key] = &handler;
}

void LinkRouter::RoutePrefix(const std::string& prefix, LinkHandler& handler) {
  prefixes_.emplace_back(prefix, &handler);
}

void LinkRouter::Observe(BrowserEvents& observer) { observers_.push_back(&observer); }

LinkHandler* LinkRouter::HandlerFor(const std::string& address) const {
  for (const auto& [prefix, handler] : prefixes_)
    if (address.compare(0, prefix.size(), prefix) == 0) return handler;
  auto it = schemes_.find(SchemeOf(address));
  return it == schemes_.end() ? nullptr : it->second;
}

void LinkRouter::Navigate2(const std::string& view, const std::string& address) {
  bool cancel = false;
  BeforeNavigate(view, address, cancel);
  if (cancel) return;
  if (BrowserView* v = View(view)) v->Navigate(address);
}

void LinkRouter::BeforeNavigate(const std::string& view, const std::string& address, bool& cancel) {
  if (LinkHandler* handler = HandlerFor(address)) handler->BeforeNavigate(view, address, cancel);
  for (BrowserEvents* o : observers_) o->BeforeNavigate(view, address, cancel);
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

void LinkRouter::ContextMenu(const std::string& view, const std::string& activeHref, int x, int y) {
  for (BrowserEvents* o : observers_) o->ContextMenu(view, activeHref, x, y);
}

void LinkRouter::NewWindow(const std::string& view, const std::string& address, bool& cancel) {
  for (BrowserEvents* o : observers_) o->NewWindow(view, address, cancel);
}

}  // namespace tavlin::forms
