#pragma once
// Recording stand-ins of the ports an observer of the program wants to see: the
// balloons the tray showed and the texts each view's before-navigate handling
// received. Installed only while the automation channel is on; each forwards every
// call unchanged.
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/browser_view.h"
#include "platform/shell.h"
#include "platform/tray.h"
#include "ui/shell/main_window.h"

namespace tavlin::ui {

class PortRecorder final : public ViewObserver {
 public:
  static constexpr size_t kNavigationLogSize = 16;

  PortRecorder();
  ~PortRecorder() override;

  Tray& Watch(Tray& tray);
  // Records what the program asks the desktop to open, and opens nothing.
  Shell& Watch(Shell& desktop);
  BrowserEvents& Watch(BrowserEvents& program) override;
  BrowserView& Watch(const std::string& name, BrowserView& view) override;

  // Every balloon text shown, in order.
  const std::vector<std::string>& balloons() const { return balloons_; }
  // Every address and folder handed to the desktop, in order.
  const std::vector<std::string>& opened() const { return opened_; }
  // Per view, the last texts that went through before-navigate (links, scripts and
  // the program's own navigations), oldest first.
  const std::map<std::string, std::deque<std::string>>& navigations() const { return navigations_; }

 private:
  class Tray;
  class Desktop;
  class Events;
  class View;
  void Navigation(const std::string& view, const std::string& address);

  std::vector<std::string> balloons_;
  std::vector<std::string> opened_;
  std::unique_ptr<Desktop> desktop_;
  std::map<std::string, std::deque<std::string>> navigations_;
  std::unique_ptr<Tray> tray_;
  std::unique_ptr<Events> events_;
  std::map<std::string, std::unique_ptr<View>> views_;
};

}  // namespace tavlin::ui
