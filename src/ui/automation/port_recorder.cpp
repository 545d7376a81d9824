#include "ui/automation/port_recorder.h"

#include <cstdio>

namespace tavlin::ui {

class PortRecorder::Tray final : public tavlin::Tray {
 public:
  Tray(PortRecorder& recorder, tavlin::Tray& inner) : recorder_(recorder), inner_(inner) {}
  bool Available() override { return inner_.Available(); }
  void Add(const std::string& tooltip) override { inner_.Add(tooltip); }
  void ShowBalloon(const std::string& title, const std::string& text, const std::string& tooltip) override {
    recorder_.balloons_.push_back(text);
    inner_.ShowBalloon(title, text, tooltip);
  }
  void Remove() override { inner_.Remove(); }

 private:
  PortRecorder& recorder_;
  tavlin::Tray& inner_;
};

class PortRecorder::Desktop final : public Shell {
 public:
  explicit Desktop(PortRecorder& recorder) : recorder_(recorder) {}
  bool OpenUrl(const std::string& address) override {
    recorder_.opened_.push_back(address);
    // Also on the log: an open just before the exit is read from there.
    std::fprintf(stderr, "recorded open: %s\n", address.c_str());
    return true;
  }
  bool OpenFolder(const std::string& path) override {
    recorder_.opened_.push_back(path);
    return true;
  }

 private:
  PortRecorder& recorder_;
};

class PortRecorder::Events final : public BrowserEvents {
 public:
  Events(PortRecorder& recorder, BrowserEvents& inner) : recorder_(recorder), inner_(inner) {}
  void BeforeNavigate(const std::string& view, const std::string& address, const std::string& origin,
                      bool& cancel) override {
    recorder_.Navigation(view, address);
    inner_.BeforeNavigate(view, address, origin, cancel);
  }
  void DownloadBegin(const std::string& view) override { inner_.DownloadBegin(view); }
  void DownloadComplete(const std::string& view) override { inner_.DownloadComplete(view); }
  void NavigateError(const std::string& view, const std::string& address, int status) override {
    inner_.NavigateError(view, address, status);
  }
  void UserClick(const std::string& view) override { inner_.UserClick(view); }
  void ContextMenu(const std::string& view, const std::string& activeHref, const std::string& origin, int x,
                   int y) override {
    inner_.ContextMenu(view, activeHref, origin, x, y);
  }
  void NewWindow(const std::string& view, const std::string& address, bool& cancel) override {
    inner_.NewWindow(view, address, cancel);
  }

 private:
  PortRecorder& recorder_;
  BrowserEvents& inner_;
};

// The program's own navigations reach a view only when nothing cancelled them.
class PortRecorder::View final : public BrowserView {
 public:
  View(PortRecorder& recorder, std::string name, BrowserView& inner)
      : recorder_(recorder), name_(std::move(name)), inner_(inner) {}
  void Navigate(const std::string& address) override {
    recorder_.Navigation(name_, address);
    inner_.Navigate(address);
  }
  void Refresh() override { inner_.Refresh(); }
  void GoBack() override { inner_.GoBack(); }
  void GoForward() override { inner_.GoForward(); }
  bool CanGoBack() const override { return inner_.CanGoBack(); }
  bool CanGoForward() const override { return inner_.CanGoForward(); }
  void Copy() override { inner_.Copy(); }
  void Paste() override { inner_.Paste(); }
  std::string CurrentAddress() const override { return inner_.CurrentAddress(); }
  void ShowFailure(const std::string& notice, const std::string& address) override {
    inner_.ShowFailure(notice, address);
  }

 private:
  PortRecorder& recorder_;
  std::string name_;
  BrowserView& inner_;
};

PortRecorder::PortRecorder() = default;
PortRecorder::~PortRecorder() = default;

tavlin::Tray& PortRecorder::Watch(tavlin::Tray& tray) {
  tray_ = std::make_unique<Tray>(*this, tray);
  return *tray_;
}

Shell& PortRecorder::Watch(Shell&) {
  desktop_ = std::make_unique<Desktop>(*this);
  return *desktop_;
}

BrowserEvents& PortRecorder::Watch(BrowserEvents& program) {
  events_ = std::make_unique<Events>(*this, program);
  return *events_;
}

BrowserView& PortRecorder::Watch(const std::string& name, BrowserView& view) {
  auto& slot = views_[name];
  slot = std::make_unique<View>(*this, name, view);
  return *slot;
}

void PortRecorder::Navigation(const std::string& view, const std::string& address) {
  auto& log = navigations_[view];
  log.push_back(address);
  if (log.size() > kNavigationLogSize) log.pop_front();
}

}  // namespace tavlin::ui
