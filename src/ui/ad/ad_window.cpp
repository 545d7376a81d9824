#include "ui/ad/ad_window.h"

#include "ui/shell/painting_http_client.h"

namespace tavlin::ui {

// What the ad's view reports reaches the form through the main window's dispatch.
class AdWindow::Events final : public BrowserEvents {
 public:
  Events(MainWindow& window, ad::Adsb& ad) : window_(window), ad_(ad) {}
  void BeforeNavigate(const std::string& view, const std::string& address, const std::string& origin,
                      bool& cancel) override {
    if (PaintingHttpClient::Waiting()) {
      cancel = true;
      return;
    }
    window_.Dispatch([&] { ad_.BeforeNavigate(view, address, origin, cancel); });
  }
  void DownloadBegin(const std::string&) override {}
  void DownloadComplete(const std::string&) override {}
  void NavigateError(const std::string&, const std::string&, int) override {}
  void ContextMenu(const std::string&, const std::string&, int, int) override {}
  void NewWindow(const std::string& view, const std::string& address, bool& cancel) override {
    cancel = true;
    // Held while the portal is asked: by value.
    ad::Adsb* ad = &ad_;
    window_.Dispatch([ad, view, address] {
      bool refused = true;
      ad->NewWindow(view, address, refused);
    });
  }

 private:
  MainWindow& window_;
  ad::Adsb& ad_;
};

AdWindow::AdWindow(Program& program, MainWindow& window, const SkinStrips& strips, QWebEngineProfile& profile)
    : events_(std::make_unique<Events>(window, program.adsb())), input_(window, program.adsb().input) {
  widget_ = std::make_unique<FormWidget>(strips);
  widget_->setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus);
  widget_->setAttribute(Qt::WA_ShowWithoutActivating);
  widget_->SetPlacedByForm(true);
  widget_->setWindowTitle(QStringLiteral("adsb"));
  widget_->Build(program.adsb(), input_, [&](forms::Control& c, QWidget* parent) -> QWidget* {
    if (c.kind != forms::ControlKind::WebView) return nullptr;
    view_ = new WebView("adsb.Web1", &profile, *events_, false, parent);
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
