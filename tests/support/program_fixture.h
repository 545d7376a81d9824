#pragma once
// The whole program on fakes, in a fresh program folder, with a manual clock: the
// way every core test meets the subsystems, wired exactly as the product wires them.
#include <map>
#include <memory>
#include <string>

#include "core/app/program.h"
#include "core/base/config.h"
#include "support/fakes.h"
#include "support/temp_folder.h"

namespace tavlin::testing {

// The portal's answers, scripted: every request is recorded; answer gives the body
// (nothing: no answer at all, as a refused connection or a time-out).
class ScriptedHttp final : public HttpClient {
 public:
  std::vector<std::string> requests;
  std::function<std::optional<std::string>(const std::string& url)> answer;
  std::function<void(const std::string& url)> waiting;  // runs while a request waits
  void Answer(std::optional<std::string> body) {
    answer = [body](const std::string&) { return body; };
  }
  std::optional<std::string> Get(const std::string& url) override {
    requests.push_back(url);
    if (waiting) waiting(url);
    return answer ? answer(url) : std::nullopt;
  }
};

inline constexpr const char* kPortal = "http://127.0.0.1:9/soft/";
inline const char* const kViewNames[] = {"Web1", "Web2", "Web3", "Web4", "Web5", "Web6", "Web7", "Web9", "Weby"};

struct ProgramFixture {
  TempFolder dir;
  FakeScreen screen;
  FakeWindowHost host;
  FakeDialogs dialogs;
  FakeMenus menus;
  FakeTray tray;
  RecordingInhibitor idle;
  FakeProcesses processes;
  RecordingShell shell;
  RecordingPower power;
  FakeApplication application;
  FakeLog log;
  ScriptedPlayer player;
  ScriptedHttp http;
  std::map<std::string, FakeView> views;
  forms::ManualClock clock;
  std::unique_ptr<Program> program;
  shell::BA1* f = nullptr;

  // Builds the program; withPlayer false: no player could be made.
  shell::BA1& Make(bool withPlayer = true) {
    program =
        std::make_unique<Program>(ProgramFolder{dir.dir()}, Portal{kPortal},
                                  ProgramPorts{host, screen, dialogs, menus, tray, processes, shell, power, application,
                                               log, http, clock, withPlayer ? &player : nullptr, nullptr, &idle});
    for (const char* v : kViewNames) program->AddView(v, views[v]);
    f = &program->ba1();
    host.resized = [this](int w, int h) {
      forms::InputEvent e = forms::InputEvent::OnForm(forms::InputEvent::Resized, 0, w, h);
      Raise(e);
    };
    host.currentSize = [this] { return std::pair{f->window.w, f->window.h}; };
    for (forms::Form* form : program->forms()) clock.Watch(*form);
    return *f;
  }
  // Builds and starts the program as the first start does, the window shown and
  // laid out; the one-shot start-up task has not run yet.
  shell::BA1& Load(const std::string& commandLine = "") {
    Make();
    program->Start(commandLine);
    f->window.visible = true;
    f->Form_Resize();
    return *f;
  }

  player::Player& Player() { return program->player(); }
  state::ProgramState& State() { return program->state(); }

  // Input as the window system reports it.
  void Raise(const forms::InputEvent& e) { program->input().Raise(e); }
  void Mouse(forms::InputEvent::Kind kind, forms::ControlKey control, int button = forms::kLeftButton, int x = 0,
             int y = 0) {
    Raise(forms::InputEvent::OnControl(kind, std::move(control), button, x, y));
  }
  void Click(forms::ControlKey control) { Mouse(forms::InputEvent::Click, std::move(control)); }
  void Key(int code) { Raise(forms::InputEvent::Key(code)); }

  std::string Ini(const std::string& section, const std::string& key) {
    return ReadIni(dir.File("config.ini"), section, key, "<missing>");
  }
  void SetIni(const std::string& section, const std::string& key, const std::string& value) {
    (void)WriteIni(dir.File("config.ini"), section, key, value);
  }
  // A link the user clicked in a view, as the view reports it; true when it was
  // cancelled (a view then loads nothing).
  bool Follow(const std::string& view, const std::string& href, const std::string& origin) {
    bool cancel = false;
    program->links().UserClick(view);
    program->links().BeforeNavigate(view, href, origin, cancel);
    if (!cancel) views[view].Navigate(href);
    return cancel;
  }
  int Count(const std::string& view, const std::string& address) {
    int n = 0;
    for (const auto& a : views[view].navigations) n += a == address;
    return n;
  }
};

using MainWindowFixture = ProgramFixture;

// A program playing through the scripted player: the lists exist, balloons are on
// (or as sPao says), the start-up task has run.
struct PlayerFixture : ProgramFixture {
  explicit PlayerFixture(const std::string& commandLine = "", const std::string& sPao = "2") {
    dir.Write("date.dat", "\r\n");
    dir.Write("date_f.dat", "\r\n");
    SetIni("S_q", "s_pao", sPao);
    Load(commandLine);
    clock.Advance(20);  // the one-shot start-up task
  }
  // Seconds of playback, the poll running as it would.
  void Play(int seconds) {
    for (int i = 0; i < seconds; ++i) {
      player.Step();
      clock.Advance(1000);
    }
  }
  void Open(const std::string& path) {
    dialogs.file = path;
    Player().bo_but_Click(4);
  }
  const std::string& Status() const { return f->zhun.caption; }
  const std::string& PlayTip() const { return f->bo_but[0].tooltip; }
  const std::vector<std::string>& Balloons() const { return tray.balloons; }
};

}  // namespace tavlin::testing
