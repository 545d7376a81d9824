#include "core/shell/ba1.h"

#include "core/base/config.h"
#include "core/base/text.h"
#include "core/forms/keys.h"
#include "core/shell/skin_frames.h"

namespace tavlin::shell {

BA1::BA1(ProgramFolder programFolder, Portal portalAddresses, state::ProgramState& programState, Ba1Ports p,
         Ba1Seams seams)
    : forms::Form("BA1", p.text),
      Ba1Controls(CreateBa1Controls(*this)),
      ports(p),
      folder(std::move(programFolder)),
      portal(std::move(portalAddresses)),
      state(programState),
      trayIcon(*this),
      saveFailures(trayIcon, p.log),
      status(zhun),
      title(bo_name),
      shutdownButton(bo_but[kBoShutdownMenu]),
      Timer1(AddTimer("Timer1", 1000, true)),
      Timer2(AddTimer("Timer2", 2000, false)),
      Timer3(AddTimer("Timer3", 10, true)),
      Timer4(AddTimer("Timer4", 50000, false)),
      Timer5(AddTimer("Timer5", 6000, true)),
      Timer6(AddTimer("Timer6", 2000, true)),
      Timer7(AddTimer("Timer7", 4000, true)),
      Timer8(AddTimer("Timer8", 3000, false)),
      player_(seams.player),
      exit_(seams.exit) {
  Timer6.onTick = [this] { Timer6_Timer(); };
  // The designed size, kept unless a saved size is restored.
  window.w = 1000;
  window.h = 640;
  window.minW = forms::TwipsToPixels(13000);
  window.minH = forms::TwipsToPixels(7000);
}

void BA1::ShowPortal() {
  Pic1.visible = true;
  wait.visible = false;
}

void BA1::ShowPortalFailed(const std::string& notice) {
  Pic1.visible = false;
  wait.visible = true;
  webe.SetCaption(notice);
}

void BA1::ShowPlayerAd() {
  ad_huan.visible = true;
  adp.visible = false;
}

void BA1::ShowPlayerAdFailed() {
  ad_huan.visible = false;
  adp.visible = true;
}

bool BA1::LocalListSelected() const { return qk.caption.find("列表") != std::string::npos; }

void BA1::Form_Load() {
  WorkArea = ports.screen.WorkArea();
  WorkAreaWidth = WorkArea.w;
  WorkAreaHeight = WorkArea.h;
  ports.window.SetSizeLimits(0, 0, WorkAreaWidth, WorkAreaHeight);

  IniPath = folder.IniPath();
  SkinApplied = 0;
  SkinIndex = ToNumber(ReadIni(IniPath, ini_keys::kSkin));
  state.update.UserId = ReadIni(IniPath, ini_keys::kUserId);
  state.update.InstalledVersion = ReadIni(IniPath, ini_keys::kVersion);
  SavedWidth = ToNumber(ReadIni(IniPath, ini_keys::kSavedWidth));
  SavedHeight = ToNumber(ReadIni(IniPath, ini_keys::kSavedHeight));
  SaveSizeSetting = ToNumber(ReadIni(IniPath, ini_keys::kSaveSize));
  if (SaveSizeSetting == 2) SetWindowSize(SavedWidth, SavedHeight);
  // The first place of the window; where it was last time is not kept.
  CentreOnScreen();

  CurrentView = 8;
  p_p(SkinIndex > 3 ? 0 : SkinIndex);
  HidePinWhereNothingStaysAbove();

  Navigate2("Web1", portal.Home());
  Navigate2("Web2", "about:blank");
  Navigate2("Web3", folder.File("c.htm"));
  Navigate2("Web4", folder.File("f.htm"));
  Navigate2("Web5", folder.File("c.htm"));
  Navigate2("Weby", portal.BannerAd());
  Navigate2("Web6", portal.Stats(state.update.UserId));
  Navigate2("Web9", "about:blank");
  Navigate2("Web7", portal.PlayerAd());

  trayIcon.AddTrayIcon(kMainCaption);

  state.playback.CurrentItemKey = "0";
  state.playback.ResumeApplied = state.playback.PlaysInPage = 0;
  state.episodes.PortalErrorShown = state.episodes.BannerAdFailed = state.episodes.PlayerAdFailed = 0;
  LoadedSection = 0;
}

void PlayerTitle::Show(const std::string& name, const std::string& suffix) {
  boName_.SetCaption(TruncateToWidth(name, 30) + suffix);
  boName_.tooltip = name + suffix;
}

PlayerControls BA1::ControlsOfPlayer() {
  return {bo_but, gunt,  gunt1, huan,   played, yin, bo_y,    bo_v,   bo_ad,
          adp,    QvodC, qvod,  next_s, times,  p1,  Capture, Timer1, Timer2};
}

void BA1::ArrowPointer() {
  window.cursor = 0;
  ports.window.SetCursor(0);
}

void ShutdownButton::ShowArmed(bool armed) {
  button_.tooltip = armed ? "已开启自动关机" : "计划关机";
  button_.frame = *BoButFrame(kBoShutdownMenu, false, button_.tooltip);
}

void BA1::SaveSetting(IniKey key, const std::string& value) {
  if (!WriteIni(IniPath, key, value)) saveFailures.WriteFailed(IniPath);
}

void BA1::Timer6_Timer() {
  if (npc[kNpcBanner].tooltip == "打开" && state.episodes.BannerAdFailed != 1) ToggleBanner();
  Timer6.SetEnabled(false);
}

void BA1::RouteInput(forms::ControlRouter& router) {
  using forms::InputEvent;
  router.Route(npc, [this](const InputEvent& e) {
    const int index = *e.control->index;
    if (e.kind == InputEvent::Click) npc_Click(index);
    if (e.kind == InputEvent::MouseMove) npc_MouseMove(index, e.button, e.x, e.y);
    // The hovered button kept the capture, so the first move outside reached it;
    // leaving the widget is that move.
    if (e.kind == InputEvent::Leave && Capture && *Capture == *e.control) npc_MouseMove(index, 0, -1, -1);
  });
  router.Route(jbi, [this](const InputEvent& e) {
    if (e.kind == InputEvent::Click) jbi_Click();
    if (e.kind == InputEvent::MouseMove) Control_MouseMove("jbi");
  });
  // The caption, and the item's title that stands in its place in compact mode, are
  // the window's handle: a press there moves it, a double click there maximises.
  for (forms::Control* caption : {&ni_name, &ni_bo1}) {
    router.Route(*caption, [this, caption](const InputEvent& e) {
      if (e.kind == InputEvent::MouseDown && e.button == forms::kLeftButton && !Maximized()) {
        Capture.reset();
        ports.window.StartSystemMoveResize(kHitCaption);
      }
      if (e.kind == InputEvent::DblClick) Form_DblClick();
      if (e.kind == InputEvent::MouseMove) Control_MouseMove(caption->name());
    });
  }
  router.RouteKeys([this](const InputEvent& e) {
    if (e.key == forms::kKeyEscape && CompactMode == 1) jbi_Click();
  });
  router.RouteUnclaimed([this](const InputEvent& e) {
    if (e.kind == InputEvent::MouseMove) Control_MouseMove(e.control->name);
  });
  router.RouteForm([this](const InputEvent& e) { OnFormInput(e); });
}

void BA1::OnFormInput(const forms::InputEvent& e) {
  using forms::InputEvent;
  switch (e.kind) {
    case InputEvent::MouseDown: Form_MouseDown(e.button, e.x, e.y); break;
    case InputEvent::MouseMove: Form_MouseMove(e.button, e.x, e.y); break;
    case InputEvent::MouseUp: Form_MouseUp(e.button, e.x, e.y); break;
    case InputEvent::DblClick: Form_DblClick(); break;
    case InputEvent::Resized: OnResized(e.x, e.y); break;
    case InputEvent::StateChanged: OnStateChanged(e.state); break;
    case InputEvent::MoveResizeEnded: SystemMoveResizeEnded(); break;
    // Closing from the taskbar is the close button's business.
    case InputEvent::CloseRequested: CloseWindow(); break;
    default: break;
  }
}

void BA1::DescribeState(state::StateVisitor& v) const {
  v.Field("CurrentView", CurrentView);
  v.Field("LoadedSection", LoadedSection);
  v.Field("CompactMode", CompactMode);
  v.Field("CloseAsk", CloseAsk);
  v.Field("CloseAction", CloseAction);
  v.Field("IniPath", IniPath);
  v.Field("SkinIndex", SkinIndex);
  v.Field("SkinApplied", SkinApplied);
  v.Field("SaveSizeSetting", SaveSizeSetting);
  v.Field("SavedWidth", SavedWidth);
  v.Field("SavedHeight", SavedHeight);
  v.Field("WorkArea", WorkArea);
  v.Field("WorkAreaWidth", WorkAreaWidth);
  v.Field("WorkAreaHeight", WorkAreaHeight);
  v.Field("EdgeResizeActive", EdgeResizeActive);
  v.Field("PointerInInterior", PointerInInterior);
  v.Field("LoadedSkin", LoadedSkin);
}

}  // namespace tavlin::shell
