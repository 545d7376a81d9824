#include "ui/shell/main_window.h"

#include <QApplication>

#include "core/app/exit_routine.h"
#include <QPainter>

namespace tavlin::ui {

MainWindow::MainWindow(const ProgramFolder& folder, const Portal& portal, Processes* processes,
                       MpvPlayerControl* player, Power* power) {
  strips_.Load(0);
  shell::Ba1Ports ports;
  ports.screen = &screen_;
  ports.processes = processes;
  processes_ = processes;
  ports.player = player;
  ports.power = power;
  ba1_ = std::make_unique<shell::BA1>(folder, portal, ports);
  tip_ = std::make_unique<menus::Tip>(*ba1_);
  trayIcon_ = std::make_unique<shell::TrayIcon>(*ba1_);
  // Episode stepping and the next-episode search come with the portal commands.
  player_ = player::AttachPlayer(*ba1_, {nullptr, trayIcon_.get()});
  widget_ = std::make_unique<FormWidget>(*ba1_, strips_);
  widget_->setWindowTitle(QString::fromUtf8(shell::kMainCaption));
  widget_->setWindowIcon(MakeIcon());
  dialogs_ = std::make_unique<QtDialogs>(widget_.get());
  menus_ = std::make_unique<QtMenus>(*tip_, *widget_);
  tray_ = std::make_unique<QtTray>(MakeIcon());

  QWebEngineProfile* profile = WebView::SharedProfile(this);
  widget_->Build([&](forms::Control& c, QWidget* parent) -> QWidget* {
    if (c.kind == forms::ControlKind::Player && player) {
      QWidget* video = player->VideoWidget();
      video->setParent(parent);
      return video;
    }
    if (c.kind != forms::ControlKind::WebView) return nullptr;
    auto* view = new WebView(c.name(), profile, *ba1_, parent);
    views_[c.name()] = view;
    return view;
  });
  for (auto& [name, view] : views_) ba1_->ports.views[name] = view;
  ba1_->ports.window = widget_.get();
  ba1_->ports.dialogs = dialogs_.get();
  ba1_->ports.menus = menus_.get();
  ba1_->ports.tray = tray_.get();
  Wire();
}

MainWindow::~MainWindow() {
  for (auto& [timer, q] : timers_) delete q.first;
}

QIcon MainWindow::MakeIcon() const {
  QPixmap icon(QStringLiteral(":/skins/icon.png"));
  if (!icon.isNull()) return QIcon(icon);
  QPixmap p(32, 32);
  p.fill(QColor(0, 90, 170));
  return QIcon(p);
}

void MainWindow::Dispatch(const std::function<void()>& fn) {
  widget_->Dispatch(fn);
  if (ba1_->LoadedSkin != strips_.skin() && strips_.Load(ba1_->LoadedSkin)) widget_->update();
  SyncTimers();
}

void MainWindow::Wire() {
  auto& f = *ba1_;
  f.hooks.addTrayIcon = [this](const std::string& tip) { trayIcon_->AddTrayIcon(tip); };
  f.hooks.pumpEvents = [] { QApplication::processEvents(QEventLoop::ExcludeUserInputEvents); };
  f.hooks.ttt_v = [this] {
    RunExitRoutine(*ba1_, {processes_, &shell_, [this] { trayIcon_->RemoveTrayIcon(); },
                           [] { QApplication::quit(); }});
  };
  tip_->hooks.openHomePage = [this](const std::string& address) { shell_.OpenUrl(address); };
  tray_->clicked = [this](int button) { Dispatch([&] { trayIcon_->OnClick(button); }); };
  menus_->picked = [this](const std::string& item) { Dispatch([&] { tip_->ItemClick(item); }); };

  auto& ev = widget_->events;
  ev.mouseDown = [&f](int b, int x, int y) { f.Form_MouseDown(b, x, y); };
  ev.mouseMove = [&f](int b, int x, int y) { f.Form_MouseMove(b, x, y); };
  ev.mouseUp = [&f](int b, int x, int y) { f.Form_MouseUp(b, x, y); };
  ev.dblClick = [&f] { f.Form_DblClick(); };
  ev.moveResizeEnded = [&f] { f.SystemMoveResizeEnded(); };
  ev.resized = [&f](int w, int h) { f.OnResized(w, h); };
  ev.stateChanged = [&f](forms::WindowState s) { f.OnStateChanged(s); };
  ev.closeRequested = [&f] { f.npc_Click(2); };
  ev.keyDown = [&f](int vk) {
    if (f.hooks.keyDown) f.hooks.keyDown(vk);
  };
  using player::MouseAction;
  ev.controlClick = [this, &f](const forms::ControlKey& k) {
    if (k.name == "npc" && k.index) f.npc_Click(*k.index);
    else if (k.name == "jbi") f.jbi_Click();
    else player_->ControlMouse(k, MouseAction::Click, player::kLeftButton, 0, 0);
  };
  ev.controlMouseDown = [this](const forms::ControlKey& k, int b, int x, int y) {
    player_->ControlMouse(k, MouseAction::Down, b, x, y);
  };
  ev.controlMouseUp = [this](const forms::ControlKey& k, int b, int x, int y) {
    player_->ControlMouse(k, MouseAction::Up, b, x, y);
  };
  ev.controlMouseMove = [this, &f](const forms::ControlKey& k, int b, int x, int y) {
    if (k.name == "npc" && k.index) f.npc_MouseMove(*k.index, b, x, y);
    else if (!player_->ControlMouse(k, MouseAction::Move, b, x, y)) f.Control_MouseMove(k.name);
  };
  ev.controlLeave = [this, &f](const forms::ControlKey& k) {
    if (k.name == "npc" && k.index && f.Capture && *f.Capture == k) f.npc_MouseMove(*k.index, 0, -1, -1);
    else player_->ControlLeave(k);
  };

  for (const auto& t : f.timers()) {
    auto* q = new QTimer();
    forms::Timer* core = t.get();
    QObject::connect(q, &QTimer::timeout, this, [this, core] {
      if (!core->enabled()) return;
      Dispatch([&] {
        if (core->onTick) core->onTick();
      });
    });
    timers_[core] = {q, ~uint64_t{0}};
  }
}

void MainWindow::SyncTimers() {
  for (auto& [core, entry] : timers_) {
    QTimer* q = entry.first;
    if (!core->enabled()) {
      if (q->isActive()) q->stop();
      continue;
    }
    if (!q->isActive() || entry.second != core->generation || q->interval() != core->interval()) {
      q->start(core->interval());
      entry.second = core->generation;
    }
  }
}

bool MainWindow::Start() {
  bool keep = true;
  widget_->Dispatch([&] { keep = ba1_->Form_Load(); });
  if (!keep) return false;
  Dispatch([&] {
    ba1_->ShowWindow(true);
    ba1_->Form_Resize();  // the first layout, as showing the window does
  });
  widget_->show();
  return true;
}

}  // namespace tavlin::ui
