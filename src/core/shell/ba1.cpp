#include "core/shell/ba1.h"

#include "core/base/config.h"
#include "core/base/text.h"
#include "core/forms/json.h"
#include "core/services/process_control.h"

namespace tavlin::shell {

using forms::ControlKind;
using forms::ControlKey;
using forms::Rgb;

namespace {
const Rgb kWhite{255, 255, 255};
const Rgb kListText = Rgb::FromBgr(0x5A5A5A);
}  // namespace

BA1::BA1(ProgramFolder programFolder, Portal portalAddresses, Ba1Ports p)
    : forms::Form("BA1"), ports(std::move(p)), folder(std::move(programFolder)), portal(std::move(portalAddresses)) {
  CreateControls();
  AddTimer("Timer1", 1000, true);
  AddTimer("Timer2", 2000, false);
  AddTimer("Timer3", 10, true).onTick = [this] { Timer3_Timer(); };
  AddTimer("Timer4", 50000, false);
  AddTimer("Timer5", 6000, true);
  AddTimer("Timer6", 2000, true).onTick = [this] { Timer6_Timer(); };
  AddTimer("Timer7", 4000, true);
  AddTimer("Timer8", 3000, false);
  // The designed size, kept unless a saved size is restored.
  window.w = 1000;
  window.h = 640;
  window.minW = forms::TwipsToPixels(13000);
  window.minH = forms::TwipsToPixels(7000);
}

void BA1::CreateControls() {
  auto on = [](const char* n, std::optional<int> i = std::nullopt) { return ControlKey{n, i}; };
  const char* npcTips[17] = {"最小化", "最大化", "关闭", "换肤", "置顶", "菜单", "关闭侧栏", "打开",
                             "", "", "", "", "", "", "", "精简模式", "精简模式"};
  const int npcW[17] = {24, 24, 33, 24, 21, 24, 3, 10, 80, 80, 162, 57, 57, 80, 80, 24, 45};
  const int npcH[17] = {19, 19, 19, 19, 19, 19, 40, 10, 32, 32, 25, 20, 20, 32, 32, 19, 38};

  // Containers first: children are created after their parents, which keeps the
  // stacking order of the design (later controls lie on top).
  auto& zz = Add("zz", {}, ControlKind::PictureBox);
  zz.back = Rgb{0, 38, 81};
  Add("L1", {}, ControlKind::PictureBox, on("zz")).back = Rgb{0, 38, 81};
  Add("Pic1", {}, ControlKind::PictureBox, on("L1"));
  Add("Web1", {}, ControlKind::WebView, on("Pic1"));
  Add("Pic2", {}, ControlKind::PictureBox, on("L1")).visible = false;
  Add("Web2", {}, ControlKind::WebView, on("Pic2"));
  Add("qvod", {}, ControlKind::PictureBox, on("L1")).visible = false;
  Add("QvodC", {}, ControlKind::Player, on("qvod")).visible = false;
  auto& boAd = Add("bo_ad", {}, ControlKind::PictureBox, on("qvod"));
  boAd.back = Rgb{0, 0, 0};
  Add("adp", {}, ControlKind::PictureBox, on("bo_ad")).Move(0, 0, 140, 70);
  C("adp").picture = "adp";
  Add("ad_huan", {}, ControlKind::PictureBox, on("bo_ad")).Move(0, 0, 450, 260);
  C("ad_huan").visible = false;
  Add("Web7", {}, ControlKind::WebView, on("ad_huan"));
  auto& nextS = Add("next_s", {}, ControlKind::Label, on("bo_ad"));
  nextS.Move(0, 0, 177, 12);
  nextS.caption = "正准备播放下一集，请稍后...";
  nextS.fore = kWhite;
  nextS.visible = false;
  auto& boZt = Add("bo_zt", {}, ControlKind::PictureBox, on("qvod"));
  boZt.h = 22;
  boZt.back = Rgb{16, 24, 36};
  auto& zhun = Add("zhun", {}, ControlKind::Label, on("bo_zt"));
  zhun.Move(0, 0, 48, 12);
  zhun.caption = "准备就绪";
  zhun.fore = Rgb{200, 210, 225};
  auto& times = Add("times", {}, ControlKind::Label, on("bo_zt"));
  times.Move(0, 0, 72, 12);
  // Its width follows the text: the poll keeps its right edge in place.
  times.autoSize = true;
  times.SetCaption("00:00 /00:00");
  times.fore = Rgb{200, 210, 225};
  auto& gunt = Add("gunt", {}, ControlKind::PictureBox, on("qvod"));
  gunt.h = 7;
  gunt.back = Rgb{40, 48, 60};
  Add("huan", {}, ControlKind::PictureBox, on("gunt")).back = Rgb{90, 110, 140};
  Add("gunt1", {}, ControlKind::PictureBox, on("gunt")).Move(0, 0, 13, 7);
  auto& wait = Add("wait", {}, ControlKind::PictureBox, on("L1"));
  wait.visible = false;
  wait.back = kWhite;
  Add("jia", {}, ControlKind::PictureBox, on("wait")).Move(0, 0, 32, 32);
  auto& webe = Add("webe", {}, ControlKind::Label, on("wait"));
  webe.autoSize = true;
  webe.SetCaption("正在加载...");

  auto& l2 = Add("l2", {}, ControlKind::PictureBox, on("zz"));
  l2.back = kWhite;
  Add("l3", {}, ControlKind::PictureBox, on("l2")).back = Rgb{244, 247, 251};
  Add("u_k", {}, ControlKind::PictureBox, on("l3")).visible = false;
  Add("Weby", {}, ControlKind::WebView, on("u_k"));
  Add("Pic3", {}, ControlKind::PictureBox, on("l3"));
  Add("Web3", {}, ControlKind::WebView, on("Pic3"));
  Add("Pic4", {}, ControlKind::PictureBox, on("l3")).visible = false;
  Add("Web4", {}, ControlKind::WebView, on("Pic4"));
  Add("Pic5", {}, ControlKind::PictureBox, on("l3")).visible = false;
  Add("Web5", {}, ControlKind::WebView, on("Pic5"));
  auto& shan = Add("shan", {}, ControlKind::PictureBox, on("l3"));
  shan.h = 20;
  shan.back = Rgb{236, 241, 247};
  auto& line = Add("Line1", {}, ControlKind::Line, on("shan"));
  line.Move(0, 0, 0, 1);
  line.fore = Rgb{200, 208, 220};
  auto& qk = Add("qk", {}, ControlKind::Label, on("shan"));
  qk.autoSize = true;
  qk.fore = kListText;
  qk.SetCaption("∴ 管理任务");

  auto& ying = Add("ying", {}, ControlKind::PictureBox);
  ying.visible = false;
  ying.back = kWhite;
  Add("Web9", {}, ControlKind::WebView, on("ying"));
  // The statistics request: a view nobody sees.
  Add("Web6", {}, ControlKind::WebView).visible = false;

  for (int i = 0; i <= 16; ++i) {
    std::optional<ControlKey> parent;
    if (i == 6) parent = on("zz");
    if (i == 10) parent = on("l3");
    if (i == 7 || i == 11 || i == 12) continue;  // inside the tab bar, added below
    auto& b = Add("npc", i, ControlKind::PictureBox, parent);
    b.w = npcW[i];
    b.h = npcH[i];
    b.tooltip = npcTips[i];
  }
  for (int i : {11, 12, 7}) {
    auto& b = Add("npc", i, ControlKind::PictureBox, on("npc", 10));
    b.w = npcW[i];
    b.h = npcH[i];
    b.tooltip = npcTips[i];
  }

  auto& name = Add("ni_name", {}, ControlKind::Label);
  name.autoSize = true;
  name.fore = kWhite;
  name.SetCaption(kMainCaption);
  auto& compactTitle = Add("ni_bo1", {}, ControlKind::Label);
  compactTitle.autoSize = true;
  compactTitle.fore = kWhite;
  compactTitle.visible = false;
  auto& jbi = Add("jbi", {}, ControlKind::Label);
  jbi.fore = kWhite;
  jbi.fontPixels = 14;
  jbi.caption = "x";
  jbi.w = 12;
  jbi.h = 18;
  jbi.visible = false;
  auto& boName = Add("bo_name", {}, ControlKind::Label);
  boName.autoSize = true;
  boName.fore = Rgb{220, 230, 242};
  for (int i = 0; i <= 3; ++i) {
    auto& lab = Add("Lab2", i, ControlKind::Label);
    lab.visible = false;
    lab.fore = Rgb{255, 214, 102};
    lab.Move(0, 0, 200, 14);
  }
  auto& lab0 = Add("Lab", 0, ControlKind::Label);
  lab0.visible = false;
  lab0.caption = "0";
  for (int i = 0; i <= 8; ++i) {
    auto& b = Add("bo_but", i, ControlKind::PictureBox);
    b.w = i == 0 ? 38 : 25;
    b.h = i == 0 ? 33 : 24;
  }
  C("bo_but", 0).tooltip = "播放";
  C("bo_but", 1).tooltip = "停止";
  C("bo_but", 2).tooltip = "静音";
  C("bo_but", 3).tooltip = "全屏";
  C("bo_but", 4).tooltip = "打开本地文件";
  C("bo_but", 5).tooltip = "上一集";
  C("bo_but", 6).tooltip = "计划关机";
  C("bo_but", 7).tooltip = "下一集";
  C("bo_but", 8).tooltip = "显示/关闭侧栏";
  Add("yin", {}, ControlKind::PictureBox).Move(0, 0, 80, 24);
  // The fill reaches the knob, which stands at the right end until the volume changes.
  auto& fill = Add("bo_y", {}, ControlKind::Label, on("yin"));
  fill.Move(0, 11, 70, 2);
  fill.back = Rgb{90, 150, 220};
  Add("bo_v", {}, ControlKind::PictureBox, on("yin")).Move(70, 7, 10, 10);

  // The drawn tooltip lies above everything else.
  auto& p1 = Add("p1", {}, ControlKind::PictureBox);
  p1.visible = false;
  p1.back = Rgb{255, 255, 225};
  auto& tip = Add("bo_tip", {}, ControlKind::Label, on("p1"));
  tip.autoSize = true;
}

bool BA1::LocalListSelected() const { return C("qk").caption.find("列表") != std::string::npos; }

bool BA1::Form_Load() {
  if (hooks.handOffToRunningInstance && hooks.handOffToRunningInstance()) return false;

  if (ports.screen) WorkArea = ports.screen->WorkArea();
  WorkAreaWidth = WorkArea.w;
  WorkAreaHeight = WorkArea.h;
  if (ports.window) ports.window->SetSizeLimits(0, 0, WorkAreaWidth, WorkAreaHeight);

  IniPath = folder.IniPath();
  SkinApplied = 0;
  SkinIndex = ToNumber(ReadIni(IniPath, "Skin", "Num", "0"));
  UserId = ReadIni(IniPath, "user", "Name", "0");
  InstalledVersion = ReadIni(IniPath, "ver", "Name", "0");
  SavedWidth = ToNumber(ReadIni(IniPath, "S_q", "h_w", "0"));
  SavedHeight = ToNumber(ReadIni(IniPath, "S_q", "h_h", "0"));
  SaveSizeSetting = ToNumber(ReadIni(IniPath, "S_q", "s_size", "0"));
  if (SaveSizeSetting == 2) SetWindowSize(SavedWidth, SavedHeight);

  CurrentView = 8;
  p_p(SkinIndex > 3 ? 0 : SkinIndex);

  Navigate2("Web1", portal.Home());
  Navigate2("Web2", "about:blank");
  Navigate2("Web3", folder.File("c.htm"));
  Navigate2("Web4", folder.File("f.htm"));
  Navigate2("Web5", folder.File("c.htm"));
  Navigate2("Weby", portal.BannerAd());
  Navigate2("Web6", portal.Stats(UserId));
  Navigate2("Web9", "about:blank");
  Navigate2("Web7", portal.PlayerAd());

  if (hooks.addTrayIcon) {
    hooks.addTrayIcon(kMainCaption);
  } else if (ports.tray) {
    ports.tray->Add(kMainCaption);
  }

  CurrentItemKey = "0";
  ResumeApplied = PlaysInPage = PortalErrorShown = BannerAdFailed = PlayerAdFailed = LoadedSection = 0;
  if (ports.player) ports.player->SetAdPageUrl(portal.PlayerAd());
  if (!hooks.commandLine.empty() && hooks.l_com) hooks.l_com(hooks.commandLine);
  return true;
}

void BA1::Timer3_Timer() {
  T("Timer3").SetEnabled(false);
  std::string terminalPath;
  if (ReadIni(IniPath, "S_q", "qvodqi", "0") != "1" && ports.processes) {
    Processes& procs = *ports.processes;
    for (const auto& path : KillProcessesByName(procs, "QvodPlayer.exe")) QvodFolder = path;
    QvodFolder = ReplaceAll(QvodFolder, "QvodPlayer.exe", "");
    auto terminals = FindProcessesByName(procs, "QvodTerminal.exe");
    for (const auto& p : terminals) terminalPath = p.executablePath;
    if (hooks.purgeDeadTrayIcons) hooks.purgeDeadTrayIcons();
    // Only from a known folder: a bare name would start whatever program of that
    // name the working directory happens to hold.
    if (terminals.empty() && !QvodFolder.empty()) {
      if (hooks.pumpEvents) hooks.pumpEvents();
      procs.StartDetached(QvodFolder + "QvodTerminal.exe", {}, tavlin::WindowState::MinimizedWithFocus);
    }
  }
  if (QvodFolder.empty() && !terminalPath.empty()) QvodFolder = ReplaceAll(terminalPath, "QvodTerminal.exe", "");
  if (!QvodFolder.empty()) WriteIni(IniPath, "S_q", "qvodw", QvodFolder);
}

void BA1::Timer6_Timer() {
  if (C("npc", 7).tooltip == "打开" && BannerAdFailed != 1) npc_Click(7);
  T("Timer6").SetEnabled(false);
}

void BA1::bo_but_Click(int index) {
  if (hooks.bo_but_Click) hooks.bo_but_Click(index);
}

void BA1::Navigate2(const std::string& view, const std::string& address) {
  bool cancel = false;
  BeforeNavigate(view, address, cancel);
  if (cancel) return;
  auto it = ports.views.find(view);
  if (it != ports.views.end() && it->second) it->second->Navigate(address);
}

void BA1::BeforeNavigate(const std::string& view, const std::string& address, bool& cancel) {
  auto& log = navigationLog_[view];
  log.push_back(address);
  if (log.size() > kNavigationLogSize) log.pop_front();
  if (hooks.beforeNavigate) hooks.beforeNavigate(view, address, cancel);
}
void BA1::DownloadBegin(const std::string& view) {
  if (hooks.downloadBegin) hooks.downloadBegin(view);
}
void BA1::DownloadComplete(const std::string& view) {
  if (hooks.downloadComplete) hooks.downloadComplete(view);
}
void BA1::NavigateError(const std::string& view, const std::string& address, int status) {
  if (hooks.navigateError) hooks.navigateError(view, address, status);
}
void BA1::ContextMenu(const std::string& view, const std::string& activeHref, int x, int y) {
  if (hooks.contextMenu) hooks.contextMenu(view, activeHref, x, y);
}
void BA1::NewWindow(const std::string& view, const std::string& address, bool& cancel) {
  if (hooks.newWindow) hooks.newWindow(view, address, cancel);
}

void BA1::DescribeState(std::vector<std::pair<std::string, std::string>>& out) const {
  using forms::JsonQuote;
  auto n = [&](const char* k, int v) { out.emplace_back(k, std::to_string(v)); };
  auto s = [&](const char* k, const std::string& v) { out.emplace_back(k, JsonQuote(v)); };
  n("CurrentView", CurrentView);
  n("LoadedSection", LoadedSection);
  n("CompactMode", CompactMode);
  s("CloseAsk", CloseAsk);
  s("CloseAction", CloseAction);
  n("PlaySource", PlaySource);
  n("PlaysInPage", PlaysInPage);
  s("CurrentItemKey", CurrentItemKey);
  n("PlayPosition", PlayPosition);
  n("ResumePosition", ResumePosition);
  n("ResumeApplied", ResumeApplied);
  n("LastPlayState", LastPlayState);
  n("DownloadRate", DownloadRate);
  s("BalloonSetting", BalloonSetting);
  s("CurrentEpisodeKey", CurrentEpisodeKey);
  s("NextEpisodePage", NextEpisodePage);
  s("NextEpisodeUrl", NextEpisodeUrl);
  n("NextPrefetchStarted", NextPrefetchStarted);
  n("PrefetchRetryTicks", PrefetchRetryTicks);
  s("QvodFolder", QvodFolder);
  s("SelectedListLink", SelectedListLink);
  n("DeleteFailed", DeleteFailed);
  n("PortalErrorShown", PortalErrorShown);
  n("BannerAdFailed", BannerAdFailed);
  n("PlayerAdFailed", PlayerAdFailed);
  s("IniPath", IniPath);
  n("SkinIndex", SkinIndex);
  n("SkinApplied", SkinApplied);
  s("UserId", UserId);
  s("InstalledVersion", InstalledVersion);
  n("SaveSizeSetting", SaveSizeSetting);
  n("SavedWidth", SavedWidth);
  n("SavedHeight", SavedHeight);
  out.emplace_back("WorkArea", "[" + std::to_string(WorkArea.x) + "," + std::to_string(WorkArea.y) + "," +
                                   std::to_string(WorkArea.x + WorkArea.w) + "," +
                                   std::to_string(WorkArea.y + WorkArea.h) + "]");
  n("WorkAreaWidth", WorkAreaWidth);
  n("WorkAreaHeight", WorkAreaHeight);
  s("ExitPageSpec", ExitPageSpec);
  s("CloseQvodSetting", CloseQvodSetting);
  s("LatestVersion", LatestVersion);
  n("NoticeSwitch", NoticeSwitch);
  n("EdgeResizeActive", EdgeResizeActive);
  n("PointerInInterior", PointerInInterior);
  n("LoadedSkin", LoadedSkin);
}

}  // namespace tavlin::shell
