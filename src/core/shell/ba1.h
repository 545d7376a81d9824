#pragma once
// The main window BA1 as a form of the core: its controls, its timers, the state
// of the window itself under the program's names, and the handlers of the shell
// (navigation bar, layout, frameless behaviour, skins, the tray icon).
#include <optional>
#include <string>

#include "core/base/config.h"
#include "core/base/endpoints.h"
#include "core/base/program_folder.h"
#include "core/forms/control_router.h"
#include "core/forms/form.h"
#include "core/shell/ba1_controls.h"
#include "core/shell/seams.h"
#include "core/shell/save_failures.h"
#include "core/shell/tray_icon.h"
#include "core/shell/window_parts.h"
#include "core/state/program_state.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/screen.h"
#include "platform/tray.h"
#include "platform/view_navigator.h"

namespace tavlin::shell {

struct Ba1Ports {
  WindowHost& window;
  Screen& screen;
  Dialogs& dialogs;
  MenuHost& menus;
  Tray& tray;
  ViewNavigator& views;
  Log& log;
  Clock& clock;
  const TextMeasure* text = nullptr;  // none: labels are sized by the estimate
};

struct Ba1Seams {
  PlayerButtons& player;
  ProgramExit& exit;
};

// The nine zones of the border band.
struct EdgeZone {
  int cursor;  // pointer shape: 0, 6, 7, 8, 9
  int hit;     // 0 for the interior
};
EdgeZone EdgeZoneAt(int x, int y, int w, int h);

class BA1 : public forms::Form,
            public Ba1Controls,
            public WindowFront,
            public ViewSwitch,
            public ListLabel,
            public PortalArea,
            public SkinChoice,
            public NoticeArea,
            public PlayerSurround {
 public:
  BA1(ProgramFolder folder, Portal portal, state::ProgramState& state, Ba1Ports ports, Ba1Seams seams);

 private:
  // The window's own ports: other rooms are given the ones they use.
  friend class TrayIcon;
  Ba1Ports ports;
  // Handed to the window alone; the rooms are given their own.
  ProgramFolder folder;
  Portal portal;
  state::ProgramState& state;

 public:
  TrayIcon trayIcon;
  SaveFailureReporter saveFailures;
  // What other rooms may write on the window.
  StatusLine status;
  PlayerTitle title;
  ShutdownButton shutdownButton;
  forms::Timer &Timer1, &Timer2, &Timer3, &Timer4, &Timer5, &Timer6, &Timer7, &Timer8;

  // --- the window's state (names as the program keeps them) ---
  int CurrentView = 8;
  int LoadedSection = 0;
  int CompactMode = 0;
  std::string CloseAsk = "0";
  std::string CloseAction = "0";
  std::string IniPath;
  int SkinIndex = 0;
  int SkinApplied = 0;
  int SaveSizeSetting = 0;
  int SavedWidth = 0;   // twips
  int SavedHeight = 0;  // twips
  PixelRect WorkArea;
  int WorkAreaWidth = 0;
  int WorkAreaHeight = 0;
  // Program-wide flags of the frameless frame.
  int EdgeResizeActive = 0;
  int PointerInInterior = 0;
  // The skin whose strips are loaded (the strips start with skin 0's pictures).
  int LoadedSkin = 0;
  // Control holding the mouse capture for hover tracking, if any.
  std::optional<forms::ControlKey> Capture;

  void DescribeState(state::StateVisitor& visitor) const;
  // The window's controls and surface in the router.
  void RouteInput(forms::ControlRouter& router);

  // --- start-up ---
  void Form_Load();
  void Timer6_Timer();

  // --- navigation bar ---
  // The bar's click by button index (kNpc...); each button's action has its name.
  void npc_Click(int index);
  void Minimise();
  void ToggleMaximised();
  void CloseWindow();
  void PopupSkinMenu();
  void TogglePin();
  void PopupProgramMenu();
  void ToggleSidebar() override;
  void ToggleBanner();
  void ShowBrowseView();
  void ShowPlayView() override;
  void ShowNetworkList();
  void ShowLocalList();
  void ShowSection(int index);  // kNpcTvTab or kNpcFilmTab
  void EnterCompactMode();
  void PopupCornerMenu();
  // The window stays above others (the pin's tool tip offers to undo it).
  bool Pinned() const override { return npc[kNpcPin].tooltip == "取消置顶"; }
  void npc_MouseMove(int index, int button, int x, int y);

  // --- layout ---
  void Form_Resize();
  void PaintFrame();
  void LayoutButtons();
  void LayoutMainArea();
  void LayoutSidePanel();
  void LayoutCompact();
  void qvod_Resize();
  // The compact window's title: the item's name, wrapped in two lines when the
  // room before the close label is too narrow.
  void ShowCompactTitle();

  // --- frameless behaviour, skins ---
  void Form_MouseDown(int button, int x, int y);
  void Form_MouseMove(int button, int x, int y);
  void Form_MouseUp(int button, int x, int y);
  void Form_DblClick();
  void EdgeResizeHit(int mode, int x, int y);
  void zhi_d(int flag);
  void p_p(int skin);
  void PaintButtons();
  void jbi_Click();
  // Mouse over a child control: hover colours of jbi and qk.
  void Control_MouseMove(const std::string& name);

  // --- window, in the program's units ---
  int Width() const { return forms::PixelsToTwips(window.w); }
  int Height() const { return forms::PixelsToTwips(window.h); }
  // Sets the window's size in twips and lays it out, as a size change does.
  void SetWindowSize(int widthTwips, int heightTwips);
  // Places the window in the middle of the screen, at its size.
  void CentreOnScreen();
  bool Maximized() const { return window.state == forms::WindowState::Maximized; }
  bool Minimized() const { return window.state == forms::WindowState::Minimized; }
  void ShowWindow(bool visible);
  // Closing with the tray as the answer: hidden to the tray, or minimised when the
  // desktop has none.
  void CloseToTray();
  // Brings a minimised window back to its normal size.
  void RestoreFromMinimized();
  void ComeToFront() override;
  void ShowRestored() override;
  void LeaveCompactMode() override;
  // The window system reports a new size or state (a drag, maximise, restore).
  void OnResized(int w, int h);
  void OnStateChanged(forms::WindowState state);
  // A system move or resize begun by EdgeResizeHit has ended.
  void SystemMoveResizeEnded();

  void Navigate2(const std::string& view, const std::string& address) { ports.views.Navigate2(view, address); }
  // Writes one setting of config.ini; a failure is reported, the old file kept.
  void SaveSetting(IniKey key, const std::string& value) override;

  bool LocalListSelected() const override;
  // The player's own controls, handed to the player alone.
  PlayerControls ControlsOfPlayer();

 private:
  // Reached through the parts the window hands to other rooms.
  void Unpin() override {
    if (Pinned()) TogglePin();
  }
  void HoldAbove(bool above) override { zhi_d(above ? 1 : 0); }
  int SkinInUse() const override { return LoadedSkin; }
  void UseSkin(int skin) override { p_p(skin); }
  forms::ControlArray& Notices() override { return Lab2; }
  forms::Control& ShownNumber() override { return Lab[0]; }
  bool InCompactMode() const override { return CompactMode != 0; }
  void ItemChanged() override {
    if (CompactMode == 1) ShowCompactTitle();
  }
  bool PictureShown() const override { return Shown(qvod); }
  void ArrowPointer() override;
  forms::Control& Label() override { return qk; }
  void Hovered() override { Control_MouseMove("qk"); }
  void Pressed() override { qk.fore = forms::Rgb{90, 90, 90}; }
  void ShowPortal() override;
  void ShowPortalFailed(const std::string& notice) override;
  void ShowPlayerAdFailed() override;
  void ShowPlayerAd() override;
  forms::Control& RetryLink() override { return jia; }
  forms::Control& RetryNotice() override { return webe; }

  void HidePinWhereNothingStaysAbove();
  void EndNavigationHover();
  // The menu opens just under the bar's button at index.
  void PopupMenuUnder(int index, const char* menu);
  void PaintTab(int index, bool selected, int height);
  void NormalFrame(int index);
  void HoverFrame(int index);
  void OnFormInput(const forms::InputEvent& e);
  PlayerButtons& player_;
  ProgramExit& exit_;
  bool resizeStartedByPress_ = false;
};

}  // namespace tavlin::shell
