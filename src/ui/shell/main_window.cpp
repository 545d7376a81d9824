#include "ui/shell/main_window.h"

#include <QApplication>
#include <QKeyEvent>

#include "core/forms/keys.h"
#include "core/shell/tray_icon.h"
#include "ui/shell/dispatched_events.h"

namespace tavlin::ui {

WindowPorts::WindowPorts() : widget(strips), dialogs(&widget), menus(widget), tray(ProgramIcon()), application(gate) {
  strips.Load(0);
}

MainWindow::MainWindow(Program& program, WindowPorts& ports, SharedProfile& profile, MpvPlayerControl* player,
                       ViewObserver* observer)
    : program_(program), ports_(ports), player_(player) {
  ports_.strips.Load(program_.ba1().LoadedSkin);
  FormWidget& widget = ports_.widget;
  widget.setWindowTitle(QString::fromUtf8(shell::kMainCaption));
  widget.setWindowIcon(ProgramIcon());
  ports_.menus.SetSource(program_.tip());
  ports_.menus.picked = [this](const std::string& item) { Dispatch([this, item] { program_.tip().ItemClick(item); }); };
  ports_.tray.clicked = [this](int button) { Dispatch([this, button] { program_.ba1().trayIcon.OnClick(button); }); };
  if (const menus::Menu* trayMenu = program_.tip().FindMenu(shell::kTrayMenu)) {
    ports_.tray.SetMenu(*trayMenu, ports_.menus.picked);
  }

  viewEvents_ =
      std::make_unique<DispatchedEvents>(*this, observer ? observer->Watch(program_.links()) : program_.links());
  DispatchedEvents& events = *viewEvents_;
  widget.Build(program_.ba1(), *this, [&](forms::Control& c, QWidget* parent) -> QWidget* {
    if (c.kind == forms::ControlKind::Player && player) {
      QWidget* video = player->VideoWidget();
      video->setParent(parent);
      return video;
    }
    if (c.kind != forms::ControlKind::WebView) return nullptr;
    auto* view = new WebView(c.name(), profile, events, pages::KeepsBrowserMenu(c.name()), parent);
    view->SetPlaybackNeedsGesture(!pages::PlaysWithoutGesture(c.name()));
    views_[c.name()] = view;
    viewEvents_->Serve(c.name(), *view);
    program_.AddView(c.name(), observer ? observer->Watch(c.name(), *view) : *view);
    return view;
  });
  DriveTimers();
  gate().Attach(this);
  qApp->installEventFilter(this);
}

MainWindow::~MainWindow() {
  gate().Attach(nullptr);
  for (auto& [timer, q] : timers_) delete q.first;
  // The views report to the program, which goes before the window's adapters: they
  // must not outlive it.
  for (QWidget* child : ports_.widget.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) delete child;
}

void MainWindow::AfterHandler() {
  Mirror();
  emit Settled();
}

void MainWindow::Mirror() {
  ports_.widget.Sync();
  for (FormWidget* other : others_) other->Sync();
  const int skin = program_.ba1().LoadedSkin;
  if (skin != ports_.strips.skin() && ports_.strips.Load(skin)) ports_.widget.update();
  SyncTimers();
}

void MainWindow::Raise(const forms::InputEvent& event) {
  Dispatch([this, event] { program_.input().Raise(event); });
}

namespace {
bool InPage(const QWidget* w) {
  for (; w; w = w->parentWidget()) {
    if (dynamic_cast<const WebView*>(w)) return true;
  }
  return false;
}
}  // namespace

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  auto* target = qobject_cast<QWidget*>(watched);
  // A key travels up from the focus widget to its parents: take it once, where it
  // is first delivered, and only in this window (not in its dialogs).
  QWidget* focus = QApplication::focusWidget();
  if (!target || (focus ? target != focus : !target->isWindow()) || target->window() != &ports_.widget) return false;
  const auto* key = static_cast<QKeyEvent*>(event);
  if (key->key() == Qt::Key_Escape && player_ && player_->FullScreen()) {
    player_->SetFullScreen(false);
    return true;
  }
  // F switches the picture in and out of full screen, as a double click on it does,
  // while it is on screen; typed into a page it stays a letter.
  if (key->key() == Qt::Key_F && key->modifiers() == Qt::NoModifier && player_ && !InPage(target) &&
      (player_->FullScreen() || (player_->VideoWidget() && player_->VideoWidget()->isVisible()))) {
    player_->SetFullScreen(!player_->FullScreen());
    return true;
  }
  const int vk = VirtualKey(key->key());
  if (vk == 0) return false;
  shell::BA1& f = program_.ba1();
  const bool playerKey = vk == forms::kKeySpace || (vk >= forms::kKeyLeft && vk <= forms::kKeyDown);
  // While the player is on screen its keys are its own; elsewhere the page keeps them.
  const bool taken = playerKey && f.Shown(f.qvod);
  Raise(forms::InputEvent::Key(vk));
  return taken;
}

void MainWindow::DriveTimers() {
  for (forms::Form* form : program_.forms()) {
    for (const auto& t : form->timers()) {
      auto* q = new QTimer();
      forms::Timer* core = t.get();
      QObject::connect(q, &QTimer::timeout, this, [this, core] {
        if (!core->enabled()) return;
        gate().Tick(core, [core] {
          if (core->enabled() && core->onTick) core->onTick();
        });
      });
      timers_[core] = {q, ~uint64_t{0}};
    }
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

void MainWindow::Start(const std::string& commandLine) {
  Dispatch([&] {
    program_.Start(commandLine);
    program_.ba1().ShowWindow(true);
    program_.ba1().Form_Resize();  // the first layout, as showing the window does
  });
  ports_.widget.show();
}

}  // namespace tavlin::ui
