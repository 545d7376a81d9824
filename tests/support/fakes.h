#pragma once
// Recording fakes of every port the core talks through. Each records what the
// program asked of it, in order, and answers as scripted.
#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/log.h"
#include "platform/application.h"
#include "platform/browser_view.h"
#include "platform/dialogs.h"
#include "platform/idle_inhibitor.h"
#include "platform/player_control.h"
#include "platform/processes.h"
#include "platform/screen.h"
#include "platform/shell.h"
#include "platform/tray.h"

namespace tavlin::testing {

class FakeScreen final : public Screen {
 public:
  PixelRect work{0, 0, 1280, 760};
  PixelRect WorkArea() override { return work; }
  int ScreenWidth() override { return 1280; }
  int ScreenHeight() override { return 800; }
  bool placesWindows = true;
  bool PlacesWindows() override { return placesWindows; }
};

// Behaves as a window system that applies every request at once, as the program's
// own platform did: a maximise lays the window out before the call returns.
class FakeWindowHost final : public WindowHost {
 public:
  // What the window system reports back: the new size of the window.
  std::function<void(int w, int h)> resized;
  std::function<std::pair<int, int>()> currentSize;
  PixelRect work{0, 0, 1280, 760};
  PixelRect normal{0, 0, 0, 0};
  std::vector<int> moveResizeStarts;
  std::vector<int> cursors;
  bool topmost = false;
  int topmostCalls = 0;
  int minimizes = 0;
  int fronts = 0;
  bool visible = true;
  int shapes = 0;
  std::pair<int, int> size{0, 0};

  std::pair<int, int> placed{-1, -1};  // the last position asked for
  void SetGeometry(int x, int y, int w, int h) override {
    placed = {x, y};
    SetSize(w, h);
  }
  void SetSize(int w, int h) override { size = {w, h}; }
  void ShowNormal() override {
    const auto [w, h] = currentSize();
    resized(normal.w ? normal.w : w, normal.h ? normal.h : h);
  }
  void ShowMinimized() override { ++minimizes; }
  void ShowMaximized() override {
    const auto [w, h] = currentSize();
    normal = {0, 0, w, h};
    resized(work.w, work.h);
  }
  void SetVisible(bool on) override { visible = on; }
  void BringToFront() override { ++fronts; }
  void SetTopmost(bool on) override { topmost = on, ++topmostCalls; }
  void SetCursor(int shape) override { cursors.push_back(shape); }
  void StartSystemMoveResize(int hit) override { moveResizeStarts.push_back(hit); }
  void SetSizeLimits(int, int, int, int) override {}
  void SetShape(const std::vector<PixelRect>&) override { ++shapes; }
};

// Answers questions from a script (No when it runs out) and file dialogs with file.
class FakeDialogs final : public Dialogs {
 public:
  std::vector<Answer> answers;
  std::vector<std::pair<std::string, std::string>> asked;  // text, title
  std::optional<std::string> file;
  std::vector<std::pair<std::string, std::string>> opened;  // title, filter
  std::vector<std::string> openedIn;                        // the initial folder of each
  Answer AskYesNo(const std::string& text, const std::string& title) override {
    asked.emplace_back(text, title);
    Answer a = answers.empty() ? Answer::No : answers.front();
    if (!answers.empty()) answers.erase(answers.begin());
    return a;
  }
  void Inform(const std::string& text, const std::string& title) override { asked.emplace_back(text, title); }
  std::optional<std::string> OpenFile(const std::string& title, const std::string& filter,
                                      const std::string& initialFolder) override {
    opened.emplace_back(title, filter);
    openedIn.push_back(initialFolder);
    return file;
  }
  std::optional<std::string> folder;                         // what the folder picker returns
  std::vector<std::pair<std::string, std::string>> browsed;  // title, initial folder
  std::optional<std::string> BrowseFolder(const std::string& title, const std::string& initial) override {
    browsed.emplace_back(title, initial);
    return folder;
  }
};

class FakeView final : public BrowserView {
 public:
  std::vector<std::string> navigations;
  std::vector<std::string> calls;
  void Navigate(const std::string& a) override { navigations.push_back(a); }
  void Refresh() override { calls.push_back("refresh"); }
  void GoBack() override { calls.push_back("back"); }
  void GoForward() override { calls.push_back("forward"); }
  bool canGoBack = false, canGoForward = false;
  bool CanGoBack() const override { return canGoBack; }
  bool CanGoForward() const override { return canGoForward; }
  void Copy() override { calls.push_back("copy"); }
  void Paste() override { calls.push_back("paste"); }
  std::string CurrentAddress() const override { return navigations.empty() ? "" : navigations.back(); }
  std::string notice;  // the failure notice shown, "" for none
  void ShowFailure(const std::string& text, const std::string& address) override {
    notice = text;
    calls.push_back("failure:" + address);
  }
};

class FakeMenus final : public MenuHost {
 public:
  std::vector<std::string> popups;  // "menu@x,y" or "menu@pointer"
  void Popup(const std::string& m, int x, int y) override {
    popups.push_back(m + "@" + std::to_string(x) + "," + std::to_string(y));
  }
  void PopupAtPointer(const std::string& m) override { popups.push_back(m + "@pointer"); }
};

class FakeTray final : public Tray {
 public:
  std::vector<std::string> events;    // "add:TOOLTIP", "balloon:TITLE|TEXT", "remove"
  std::vector<std::string> balloons;  // the texts alone
  bool available = true;
  bool Available() override { return available; }
  void Add(const std::string& tooltip) override { events.push_back("add:" + tooltip); }
  void ShowBalloon(const std::string& title, const std::string& text, const std::string&) override {
    events.push_back("balloon:" + title + "|" + text);
    balloons.push_back(text);
  }
  void Remove() override { events.push_back("remove"); }
};

// Holds and releases of the screen saver, in order: "hold" and "release".
class RecordingInhibitor final : public IdleInhibitor {
 public:
  std::vector<std::string> calls;
  void Hold(const std::string&) override { calls.push_back("hold"); }
  void Release() override { calls.push_back("release"); }
};

class FakeProcesses final : public Processes {
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

// Records what the program asked the desktop to open.
class RecordingShell final : public Shell {
 public:
  std::vector<std::string> opened;
  bool OpenUrl(const std::string& address) override {
    opened.push_back(address);
    return true;
  }
  std::vector<std::string> folders;
  bool OpenFolder(const std::string& path) override {
    folders.push_back(path);
    return true;
  }
};

class FakeApplication final : public Application {
 public:
  int quits = 0;
  std::function<void()> pumped;  // runs on every pump, to observe the moment
  void PumpEvents() override {
    if (pumped) pumped();
  }
  void Quit() override { ++quits; }
};

class FakeLog final : public Log {
 public:
  std::vector<std::string> lines;
  void Write(std::string_view line) override { lines.emplace_back(line); }
};

// Behaves as the libmpv stand-in does: loading keeps the item paused until Play,
// Stop keeps Url, the volume is clamped, a seek reads back as written (past either
// end, so the program's own corrections run; clampSeeks reads it back clamped to the
// item, as a player that has moved on would), and at the end of the item the
// position stays and the state turns 0.
class ScriptedPlayer final : public PlayerControl {
 public:
  std::string url;
  int state = kStateIdle, position = 0, duration = 0, volume = 100;
  int speed = 0, bitrate = 0, progress = 0;
  bool mute = false, fullScreen = false, clampSeeks = false;
  std::string adPage;
  std::vector<std::string> calls;  // "play", "pause", "stop", "seek:N", "next:URL", "volume:N"

  std::string Url() const override { return url; }
  void SetUrl(const std::string& u) override { url = u, position = 0, state = kStatePreparing; }
  bool Mute() const override { return mute; }
  void SetMute(bool on) override { mute = on; }
  bool FullScreen() const override { return fullScreen; }
  void SetFullScreen(bool on) override { fullScreen = on; }
  int Volume() const override { return volume; }
  void SetVolume(int v) override {
    calls.push_back("volume:" + std::to_string(v));
    volume = std::clamp(v, 0, 100);
  }
  int Duration() const override { return duration; }
  int DownloadSpeed() const override { return speed; }
  int Position() const override { return position; }
  void SetPosition(int s) override {
    calls.push_back("seek:" + std::to_string(s));
    position = clampSeeks ? std::clamp(s, 0, duration) : s;
  }
  void Play() override { calls.push_back("play"), state = kStatePlaying; }
  void Pause() override { calls.push_back("pause"), state = kStatePaused; }
  void Stop() override { calls.push_back("stop"), state = kStateStopped, position = 0; }
  int PlayState() const override { return state; }
  bool openFailed = false;
  bool OpenFailed() const override { return openFailed; }
  int BitRate() const override { return bitrate; }
  int DownloadProgress() const override { return progress; }
  void PrepareNext(const std::string& u) override { calls.push_back("next:" + u); }
  void SetAdPageUrl(const std::string& u) override { adPage = u; }
  std::string downloadFolder;
  void SetDownloadFolder(const std::string& folder) override { downloadFolder = folder; }

  // One second of playback.
  void Step() {
    if (state != kStatePlaying) return;
    if (duration > 0 && position >= duration) {
      state = kStateIdle;
      return;
    }
    ++position;
  }
};

}  // namespace tavlin::testing
