#pragma once
// The floating ad adsb: a small top-most window in the screen's lower right that
// shows one portal page. It is revealed by growing its visible band upwards from
// the bottom edge and hidden by shrinking the band downwards.
#include <string>

#include "core/base/endpoints.h"
#include "core/forms/control_router.h"
#include "core/forms/form.h"
#include "core/forms/link_router.h"
#include "platform/browser_view.h"
#include "platform/screen.h"
#include "platform/shell.h"

namespace tavlin::ad {

struct AdsbPorts {
  Screen& screen;
  Shell& desktop;
};

class Adsb : public forms::Form, public forms::PageObserver {
 public:
  // showTimer: the main window's one-shot Timer8, which shows the window.
  Adsb(Portal portal, forms::Timer& showTimer, AdsbPorts ports);

  forms::Control &Pc1, &Web1, &Picture1;
  forms::Timer& Timer1;
  forms::ControlRouter input;

  // The visible band, in pixels from the window's top: from the moving edge down
  // to the fixed edge.
  int MovingEdge = 0;
  int FixedEdge = 0;
  int Step = 3;
  int CloseCounter = 0;

  bool loaded() const { return loaded_; }
  bool closing() const { return closing_; }
  // The view that shows the page; navigated when the window loads.
  void AttachView(BrowserView& view) { view_ = &view; }

  void Form_Load();
  void Timer1_Timer();
  void Picture1_Click();
  // Starts the shrink; the window is gone when it ends.
  void Unload();
  // Gone at once, for the program's exit.
  void UnloadNow();

  // BrowserEvents of the ad's view.
  void BeforeNavigate(const std::string& view, const std::string& address, const std::string& origin,
                      bool& cancel) override;
  void NewWindow(const std::string& view, const std::string& address, bool& cancel) override;

 private:
  void SetBand(int movingEdge);
  Portal portal_;
  forms::Timer& showTimer_;
  AdsbPorts ports_;
  BrowserView* view_ = nullptr;
  bool loaded_ = false;
  bool closing_ = false;
};

}  // namespace tavlin::ad
