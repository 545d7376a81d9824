#pragma once
// The floating ad's window: frameless and top-most, placed and shaped by the form
// adsb, with one web view for the portal's ad page.
#include <memory>

#include "core/app/program.h"
#include "ui/browser/web_view.h"
#include "ui/settings/dialog_windows.h"
#include "ui/shell/dispatched_events.h"
#include "ui/shell/form_widget.h"
#include "ui/shell/main_window.h"

namespace tavlin::ui {

class AdWindow : public QObject {
 public:
  AdWindow(Program& program, MainWindow& window, const SkinStrips& strips, SharedProfile& profile);
  ~AdWindow() override;
  FormWidget& widget() { return *widget_; }
  WebView* view() const { return view_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void KeepOffTaskBar();
  std::unique_ptr<DispatchedEvents> events_;
  FormInput input_;
  std::unique_ptr<FormWidget> widget_;
  WebView* view_ = nullptr;
};

}  // namespace tavlin::ui
