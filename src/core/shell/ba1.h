#pragma once
// The main window BA1 as a form of the core: its controls, its run-time state as
// plain members under the program's names, its timers, and the handlers of the
// shell (navigation bar, layout, frameless behaviour, skins).
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "core/base/program_folder.h"
#include "core/base/endpoints.h"
#include "core/forms/form.h"
#include "platform/browser_view.h"
#include "platform/dialogs.h"
#include "platform/player_control.h"
#include "platform/power.h"
#include "platform/processes.h"
#include "platform/screen.h"
#include "platform/tray.h"
#include "platform/view_navigator.h"

namespace tavlin::shell {

inline constexpr const char* kMainCaption = "Tavlin 3.0";

struct Ba1Ports {
  WindowHost* window = nullptr;
  Screen* screen = nullptr;
  Dialogs* dialogs = nullptr;
  Processes* processes = nullptr;
  Tray* tray = nullptr;
  MenuHost* menus = nullptr;
  PlayerControl* player = nullptr;  // none until the player exists
  Power* power = nullptr;           // the armed shutdown after playback
  std::map<std::string, BrowserView*> views;
};

// Behaviour that other subsystems attach to the main window. Unset hooks do nothing,
// except where a fallback is stated.
struct Ba1Hooks {
  std::function<void(int)> bo_but_Click;
  std::function<void()> ttt_v;                 // the orderly exit
  std::function<bool()> handOffToRunningInstance;  // true: this instance must end
  std::function<void(const std::string&)> l_com;   // play the command-line file
  std::string commandLine;
  std::function<void(const std::string& tooltip)> addTrayIcon;
  std::function<void(int vk)> keyDown;  // with key preview: every key of the window
  std::function<void()> purgeDeadTrayIcons;
  std::function<void()> pumpEvents;            // lets pending window messages run
  // The link commands and page handling; the fallback lets every navigation through.
  std::function<void(const std::string& view, const std::string& address, bool& cancel)> beforeNavigate;
  std::function<void(const std::string& view)> downloadBegin;
  std::function<void(const std::string& view)> downloadComplete;
  std::function<void(const std::string& view, const std::string& address, int status)> navigateError;
  std::function<void(const std::string& view, const std::string& href, int x, int y)> contextMenu;
  std::function<void(const std::string& view, const std::string& address, bool& cancel)> newWindow;
};

// The nine zones of the border band.
struct EdgeZone {
  int cursor;  // pointer shape: 0, 6, 7, 8, 9
  int hit;     // 0 for the interior
};
EdgeZone EdgeZoneAt(int x, int y, int w, int h);

class BA1 : public forms::Form, public ViewNavigator, public BrowserEvents {
 public:
  BA1(ProgramFolder folder, Portal portal, Ba1Ports ports);

  Ba1Ports ports;
  Ba1Hooks hooks;
  ProgramFolder folder;
  Portal portal;

  // --- state (names as the program keeps them) ---
  int CurrentView = 8;
  int LoadedSection = 0;
  int CompactMode = 0;
  std::string CloseAsk = "0";
  std::string CloseAction = "0";
  int PlaySource = 0;
  int PlaysInPage = 0;
  std::string CurrentItemKey = "0";
  int PlayPosition = 0;
  int ResumePosition = 0;
  int ResumeApplied = 0;
  int LastPlayState = 0;
  int DownloadRate = 0;
  std::string BalloonSetting = "0";
  std::string CurrentEpisodeKey = "0";
  std::string NextEpisodePage = "0";
  std::string NextEpisodeUrl = "0";
  int NextPrefetchStarted = 0;
  int PrefetchRetryTicks = 0;
  std::string QvodFolder;
  std::string SelectedListLink = "0";
  int DeleteFailed = 0;
  int PortalErrorShown = 0;
  int BannerAdFailed = 0;
  int PlayerAdFailed = 0;
  std::string IniPath;
  int SkinIndex = 0;
  int SkinApplied = 0;
  std::string UserId = "0";
  std::string InstalledVersion = "0";
  int SaveSizeSetting = 0;
  int SavedWidth = 0;   // twips
  int SavedHeight = 0;  // twips
  PixelRect WorkArea;
  int WorkAreaWidth = 0;
  int WorkAreaHeight = 0;
  std::string ExitPageSpec = "0";
  std::string CloseQvodSetting = "0";
  std::string LatestVersion = "0";
  int NoticeSwitch = 0;
  // Program-wide flags of the frameless frame.
  int EdgeResizeActive = 0;
  int PointerInInterior = 0;
  // The skin whose strips are loaded (the strips start with skin 0's pictures).
  int LoadedSkin = 0;
  // Control holding the mouse capture for hover tracking, if any.
  std::optional<forms::ControlKey> Capture;

  void DescribeState(std::vector<std::pair<std::string, std::string>>& out) const override;

  // --- start-up ---
  // false: another instance took over and this one must end.
  bool Form_Load();
  void Timer3_Timer();
  void Timer6_Timer();

  // --- navigation bar ---
  void npc_Click(int index);
  void npc_MouseMove(int index, int button, int x, int y);
  void bo_but_Click(int index);

  // --- layout ---
  void Form_Resize();
  void PaintFrame();
  void LayoutButtons();
  void LayoutMainArea();
  void LayoutSidePanel();
  void LayoutCompact();
  void qvod_Resize();

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
  bool Maximized() const { return window.state == forms::WindowState::Maximized; }
  bool Minimized() const { return window.state == forms::WindowState::Minimized; }
  void ShowWindow(bool visible);
  // The window system reports a new size or state (a drag, maximise, restore).
  void OnResized(int w, int h);
  void OnStateChanged(forms::WindowState state);
  // A system move or resize begun by EdgeResizeHit has ended.
  void SystemMoveResizeEnded();

  // --- ports implemented for others ---
  void Navigate2(const std::string& view, const std::string& address) override;
  void BeforeNavigate(const std::string& view, const std::string& address, bool& cancel) override;
  void DownloadBegin(const std::string& view) override;
  void DownloadComplete(const std::string& view) override;
  void NavigateError(const std::string& view, const std::string& address, int status) override;
  void ContextMenu(const std::string& view, const std::string& activeHref, int x, int y) override;
  void NewWindow(const std::string& view, const std::string& address, bool& cancel) override;

  // The local list is selected: read back from the caption of qk.
  bool LocalListSelected() const;

  // The last texts each view passed to BeforeNavigate, oldest first: an observation
  // point for tools, never read by the program's own handlers.
  static constexpr size_t kNavigationLogSize = 16;
  const std::map<std::string, std::deque<std::string>>& navigationLog() const { return navigationLog_; }

 private:
  void CreateControls();
  void PaintTab(int index, bool selected, int height);
  void NormalFrame(int index);
  void HoverFrame(int index);
  void SetFrame(forms::Control& c, int strip, int x, int w, int h);
  bool resizeStartedByPress_ = false;
  std::map<std::string, std::deque<std::string>> navigationLog_;
};

}  // namespace tavlin::shell
