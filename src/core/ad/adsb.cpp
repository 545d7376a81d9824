#include "core/ad/adsb.h"

#include <algorithm>

#include "core/base/text.h"

namespace tavlin::ad {

namespace {
constexpr int kWidth = 268;   // 4020 twips
constexpr int kHeight = 200;  // 3000 twips
// Distances from the screen's right and bottom edges: 80 and 450 twips.
constexpr int kRightGap = 80 / forms::kTwipsPerPixel;
constexpr int kBottomGap = 450 / forms::kTwipsPerPixel;
constexpr int kRevealMs = 10;
}  // namespace

Adsb::Adsb(Portal portal, forms::Timer& showTimer, AdsbPorts ports)
    : forms::Form("adsb"),
      Pc1(Add("Pc1", {}, forms::ControlKind::PictureBox)),
      Web1(Add("Web1", {}, forms::ControlKind::WebView, forms::ControlKey{"Pc1", {}})),
      Picture1(Add("Picture1", {}, forms::ControlKind::Label)),
      Timer1(AddTimer("Timer1", kRevealMs, false)),
      portal_(std::move(portal)),
      showTimer_(showTimer),
      ports_(ports) {
  window.w = kWidth;
  window.h = kHeight;
  window.topmost = true;
  // Resize: the panel inside a one-pixel border, the page's own border outside it.
  Pc1.Move(1, 1, kWidth - 2, kHeight - 2);
  Pc1.back = forms::Rgb{58, 90, 64};
  Web1.Move(-2, -2, Pc1.w + 4, Pc1.h + 4);
  Picture1.Move(kWidth - 20, 3, 16, 16);
  Picture1.caption = "×";
  Picture1.fontPixels = 14;
  Picture1.fore = forms::Rgb{255, 255, 255};
  Picture1.back = forms::Rgb{90, 90, 90};
  Picture1.tooltip = "关闭";
  Timer1.onTick = [this] { Timer1_Timer(); };
  showTimer_.onTick = [this] {
    showTimer_.SetEnabled(false);
    Form_Load();
  };
  input.Route(Picture1, [this](const forms::InputEvent& e) {
    if (e.kind == forms::InputEvent::Click) Picture1_Click();
  });
}

void Adsb::Form_Load() {
  // Where the window system places windows itself, the ad would open in the middle
  // of the screen or tiled beside the film: better none.
  if (!ports_.screen.PlacesWindows()) return;
  loaded_ = true;
  closing_ = false;
  CloseCounter = 0;
  FixedEdge = kWidth;
  Step = 3;
  window.x = ports_.screen.ScreenWidth() - kWidth - kRightGap;
  window.y = ports_.screen.ScreenHeight() - kHeight - kBottomGap;
  SetBand(kHeight - 1);
  window.visible = true;
  Timer1.SetInterval(kRevealMs);
  Timer1.SetEnabled(true);
  if (view_) view_->Navigate(portal_.FloatingAd());
}

void Adsb::SetBand(int movingEdge) {
  MovingEdge = movingEdge;
  // The fixed edge lies below the window (it is not narrower than high): the band
  // reaches the window's bottom.
  const int top = std::clamp(movingEdge, 0, kHeight);
  window.region = PixelRect{0, top, kWidth, std::min(FixedEdge, kHeight) - top};
}

void Adsb::Timer1_Timer() {
  if (closing_) {
    CloseCounter += Step;
    SetBand(CloseCounter);
    if (CloseCounter >= kHeight) UnloadNow();
    return;
  }
  SetBand(MovingEdge - Step);
  if (MovingEdge < 1) Timer1.SetEnabled(false);
}

void Adsb::Picture1_Click() {
  if (!loaded_ || closing_) return;
  Timer1.SetEnabled(false);
  Unload();
}

void Adsb::Unload() {
  if (!loaded_ || closing_) return;
  // The shrink starts from the whole window, whatever part the reveal had shown.
  closing_ = true;
  CloseCounter = 0;
  Timer1.SetInterval(Step);
  Timer1.SetEnabled(true);
}

void Adsb::UnloadNow() {
  Timer1.SetEnabled(false);
  loaded_ = closing_ = false;
  window.visible = false;
  window.region.reset();
  if (view_) view_->Navigate("about:blank");
}

void Adsb::BeforeNavigate(const std::string&, const std::string& address, const std::string&, bool& cancel) {
  // The ad's page may move on to other web pages, nothing else.
  cancel = !(IsWebAddress(address) || address == "about:blank");
}

void Adsb::NewWindow(const std::string&, const std::string& address, bool& cancel) {
  // The ad was clicked: its page goes to the user's browser and the window closes.
  cancel = true;
  if (IsWebAddress(address)) ports_.desktop.OpenUrl(address);
  Unload();
}

}  // namespace tavlin::ad
