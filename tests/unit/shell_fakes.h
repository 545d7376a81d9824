#pragma once
// Recording fakes of the ports the main window uses, and a loaded BA1 to test on.
#include <memory>
#include <string>
#include <vector>

#include "core/base/config.h"
#include "core/shell/ba1.h"
#include "temp_folder.h"

namespace tavlin::testing {

class FakeScreen : public Screen {
 public:
  PixelRect work{0, 0, 1280, 760};
  PixelRect WorkArea() override { return work; }
  int ScreenWidth() override { return 1280; }
  int ScreenHeight() override { return 800; }
};

// Behaves as a window system that applies every request at once, as the program's
// own platform did: a maximise lays the window out before the call returns.
class FakeWindowHost : public WindowHost {
 public:
  shell::BA1* form = nullptr;
  PixelRect work{0, 0, 1280, 760};
  PixelRect normal{0, 0, 0, 0};
  std::vector<int> moveResizeStarts;
  std::vector<int> cursors;
  bool topmost = false;
  int topmostCalls = 0;
  int shapes = 0;

  void SetGeometry(int, int, int w, int h) override { SetSize(w, h); }
  void SetSize(int w, int h) override { size = {w, h}; }
  void ShowNormal() override { form->OnResized(normal.w ? normal.w : form->window.w, normal.h ? normal.h : form->window.h); }
  void ShowMinimized() override {}
  void ShowMaximized() override {
    normal = {0, 0, form->window.w, form->window.h};
    form->OnResized(work.w, work.h);
  }
  void SetVisible(bool) override {}
  void SetTopmost(bool on) override { topmost = on, ++topmostCalls; }
  void SetCursor(int shape) override { cursors.push_back(shape); }
  void StartSystemMoveResize(int hit) override { moveResizeStarts.push_back(hit); }
  void SetSizeLimits(int, int, int, int) override {}
  void SetShape(const std::vector<PixelRect>&) override { ++shapes; }
  std::pair<int, int> size{0, 0};
};

class FakeDialogs : public Dialogs {
 public:
  std::vector<Answer> answers;
  std::vector<std::pair<std::string, std::string>> asked;  // text, title
  Answer AskYesNo(const std::string& text, const std::string& title) override {
    asked.emplace_back(text, title);
    Answer a = answers.empty() ? Answer::No : answers.front();
    if (!answers.empty()) answers.erase(answers.begin());
    return a;
  }
  void Inform(const std::string&, const std::string&) override {}
  std::optional<std::string> OpenFile(const std::string&, const std::string&) override { return std::nullopt; }
  std::optional<std::string> BrowseFolder(const std::string&) override { return std::nullopt; }
};

class FakeView : public BrowserView {
 public:
  std::vector<std::string> navigations;
  std::vector<std::string> calls;
  void Navigate(const std::string& a) override { navigations.push_back(a); }
  void Refresh() override { calls.push_back("refresh"); }
  void GoBack() override { calls.push_back("back"); }
  void GoForward() override { calls.push_back("forward"); }
  void Copy() override { calls.push_back("copy"); }
  void Paste() override { calls.push_back("paste"); }
  std::string CurrentAddress() const override { return navigations.empty() ? "" : navigations.back(); }
};

class FakeMenus : public MenuHost {
 public:
  std::vector<std::string> popups;  // "menu@x,y" or "menu@pointer"
  void Popup(const std::string& m, int x, int y) override {
    popups.push_back(m + "@" + std::to_string(x) + "," + std::to_string(y));
  }
  void PopupAtPointer(const std::string& m) override { popups.push_back(m + "@pointer"); }
};

class FakeTray : public Tray {
 public:
  std::vector<std::string> events;
  void Add(const std::string& tooltip) override { events.push_back("add:" + tooltip); }
  void ShowBalloon(const std::string& title, const std::string& text, const std::string&) override {
    events.push_back("balloon:" + title + "|" + text);
  }
  void Remove() override { events.push_back("remove"); }
};

class FakeProcesses : public Processes {
 public:
  std::vector<ProcessInfo> running;
  std::vector<int> terminated;
  std::vector<std::string> started;
  std::vector<ProcessInfo> List() override { return running; }
  bool Terminate(int pid) override {
    terminated.push_back(pid);
    std::erase_if(running, [&](const ProcessInfo& p) { return p.pid == pid; });
    return true;
  }
  bool StartDetached(const std::string& program, const std::vector<std::string>&, WindowState) override {
    started.push_back(program);
    return true;
  }
};

inline const char* const kViewNames[] = {"Web1", "Web2", "Web3", "Web4", "Web5", "Web6", "Web7", "Web9", "Weby"};

// A main window with fakes on every port, in a fresh program folder.
struct MainWindowFixture {
  TempFolder dir;
  FakeScreen screen;
  FakeWindowHost host;
  FakeDialogs dialogs;
  FakeMenus menus;
  FakeTray tray;
  FakeProcesses processes;
  std::map<std::string, FakeView> views;
  std::unique_ptr<shell::BA1> ba1;
  std::vector<int> playerButtons;
  int exits = 0;

  MainWindowFixture() = default;

  shell::BA1& Make() {
    Ba1PortsHolder();
    ba1 = std::make_unique<shell::BA1>(ProgramFolder{dir.dir()}, Portal{"http://127.0.0.1:9/soft/"}, ports);
    host.form = ba1.get();
    ba1->hooks.bo_but_Click = [this](int i) { playerButtons.push_back(i); };
    ba1->hooks.ttt_v = [this] { ++exits; };
    return *ba1;
  }
  shell::BA1& Load() {
    Make();
    ba1->Form_Load();
    ba1->window.visible = true;
    ba1->Form_Resize();
    return *ba1;
  }
  std::string Ini(const std::string& section, const std::string& key) {
    return ReadIni(dir.File("config.ini"), section, key, "<missing>");
  }
  void SetIni(const std::string& section, const std::string& key, const std::string& value) {
    WriteIni(dir.File("config.ini"), section, key, value);
  }

 private:
  void Ba1PortsHolder() {
    ports.window = &host;
    ports.screen = &screen;
    ports.dialogs = &dialogs;
    ports.processes = &processes;
    ports.tray = &tray;
    ports.menus = &menus;
    for (const char* v : kViewNames) ports.views[v] = &views[v];
  }
  shell::Ba1Ports ports;
};

}  // namespace tavlin::testing
