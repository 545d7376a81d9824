#pragma once
// The main window in Qt: the adapters of the window's ports, made before the
// program that is built on them, and the window that shows the program's main
// form, forwards every event to its router and drives its timers.
#include <QObject>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "core/app/program.h"
#include "ui/browser/web_view.h"
#include "ui/player/mpv_player_control.h"
#include "ui/shell/event_gate.h"
#include "ui/shell/form_widget.h"
#include "ui/shell/qt_ports.h"
#include "ui/shell/skin_strips.h"

namespace tavlin::ui {

struct WindowPorts {
  WindowPorts();
  // The door into the core, made first: the ports that let messages through use it.
  EventGate gate;
  SkinStrips strips;
  QtScreen screen;
  FormWidget widget;
  QtDialogs dialogs;
  QtMenus menus;
  QtTray tray;
  QtShell desktop;
  QtApplication application;
};

// Stands between the web views and the program while the program is observed.
class ViewObserver {
 public:
  virtual ~ViewObserver() = default;
  // What the views report goes through the returned sink to program.
  virtual BrowserEvents& Watch(BrowserEvents& program) = 0;
  // The program drives the view through the returned one.
  virtual BrowserView& Watch(const std::string& name, BrowserView& view) = 0;
};

class DispatchedEvents;

class MainWindow : public QObject, public InputSink, private EventGate::Window {
  Q_OBJECT

 public:
  // player may be null (the window then has no picture); its video widget becomes
  // the player area's QvodC. observer may be null. Every view uses profile, which
  // must outlive the window.
  MainWindow(Program& program, WindowPorts& ports, SharedProfile& profile, MpvPlayerControl* player,
             ViewObserver* observer);
  ~MainWindow() override;

  // Loads the program's main form and shows the window.
  void Start(const std::string& commandLine);

  // Runs a core handler through the gate, then mirrors the form and the timers.
  void Dispatch(std::function<void()> fn) { gate().Run(std::move(fn)); }
  EventGate& gate() { return ports_.gate; }
  // Mirrors the form and the timers as they are now.
  void Mirror();
  // InputSink: real input and injected input take this one road.
  void Raise(const forms::InputEvent& event) override;

  FormWidget& widget() { return ports_.widget; }
  // Another form's window, mirrored after every handler as the main window is.
  void AddFormWidget(FormWidget& widget) { others_.push_back(&widget); }

 signals:
  // A core handler (input, a timer tick, a command from outside) has run and the
  // window shows its outcome.
  void Settled();

 protected:
  // The window sees every key before its children: a key pressed in a page of the
  // side panel still reaches the player while the player is on screen.
  bool eventFilter(QObject* watched, QEvent* event) override;

 public:
  const std::map<std::string, WebView*>& views() const { return views_; }

 private:
  void SyncTimers();
  void DriveTimers();
  // EventGate::Window
  void BeforeWait() override { Mirror(); }
  void AfterHandler() override;

  Program& program_;
  WindowPorts& ports_;
  MpvPlayerControl* player_;
  std::map<std::string, WebView*> views_;
  std::map<forms::Timer*, std::pair<QTimer*, uint64_t>> timers_;
  std::vector<FormWidget*> others_;
  std::unique_ptr<DispatchedEvents> viewEvents_;
};

}  // namespace tavlin::ui
