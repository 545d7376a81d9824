#include "ui/ad/ad_window.h"

namespace tavlin::ui {

AdWindow::AdWindow(Program& program, MainWindow& window, const SkinStrips& strips, QWebEngineProfile& profile)
    : events_(std::make_unique<DispatchedEvents>(window, program.adsb())), input_(window, program.adsb().input) {
  widget_ = std::make_unique<FormWidget>(strips);
  widget_->setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus);
  widget_->setAttribute(Qt::WA_ShowWithoutActivating);
  widget_->SetPlacedByForm(true);
  widget_->setWindowTitle(QStringLiteral("adsb"));
  widget_->Build(program.adsb(), input_, [&](forms::Control& c, QWidget* parent) -> QWidget* {
    if (c.kind != forms::ControlKind::WebView) return nullptr;
    view_ = new WebView("adsb.Web1", &profile, *events_, false, parent);
    events_->Serve(view_->name(), *view_);
    return view_;
  });
  widget_->setFixedSize(program.adsb().window.w, program.adsb().window.h);
  if (view_) program.adsb().AttachView(*view_);
  window.AddFormWidget(*widget_);
}

AdWindow::~AdWindow() {
  // The view reports to events_, which goes with this object.
  widget_.reset();
}

}  // namespace tavlin::ui
