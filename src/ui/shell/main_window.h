#pragma once
// The main window of the program: the core's BA1 with its menu form and tray icon,
// shown through the form widget, nine web views on one shared profile, the tray
// and menu adapters, and Qt timers driving the core's timers.
#include <QObject>
#include <QTimer>
#include <map>
#include <memory>

#include "core/player/player.h"
#include "core/shell/ba1.h"
#include "core/menus/tip.h"
#include "core/shell/tray_icon.h"
#include "ui/player/mpv_player_control.h"
#include "ui/shell/form_widget.h"
#include "ui/shell/qt_ports.h"
#include "ui/shell/skin_strips.h"
#include "ui/shell/web_view.h"

namespace tavlin::ui {

class MainWindow : public QObject {
 public:
  // player may be null (the window then has no picture); its video widget becomes
  // the player area's QvodC.
  MainWindow(const ProgramFolder& folder, const Portal& portal, Processes* processes, MpvPlayerControl* player,
             Power* power);
  ~MainWindow() override;

  // Runs the load handler and shows the window; false when the program must end.
  bool Start();

  shell::BA1& ba1() { return *ba1_; }
  menus::Tip& tip() { return *tip_; }
  shell::TrayIcon& trayIcon() { return *trayIcon_; }
  FormWidget& widget() { return *widget_; }
  QtDialogs& dialogs() { return *dialogs_; }
  QtMenus& menus() { return *menus_; }
  QtTray& tray() { return *tray_; }
  const std::map<std::string, WebView*>& views() const { return views_; }
  // Runs a core handler and mirrors the result.
  void Dispatch(const std::function<void()>& fn);

 private:
  void SyncTimers();
  void Wire();
  QIcon MakeIcon() const;

  SkinStrips strips_;
  QtScreen screen_;
  std::unique_ptr<shell::BA1> ba1_;
  std::unique_ptr<menus::Tip> tip_;
  std::unique_ptr<shell::TrayIcon> trayIcon_;
  std::unique_ptr<player::Player> player_;
  std::unique_ptr<FormWidget> widget_;
  std::unique_ptr<QtDialogs> dialogs_;
  std::unique_ptr<QtMenus> menus_;
  std::unique_ptr<QtTray> tray_;
  QtShell shell_;
  Processes* processes_ = nullptr;
  std::map<std::string, WebView*> views_;
  std::map<forms::Timer*, std::pair<QTimer*, uint64_t>> timers_;
};

}  // namespace tavlin::ui
