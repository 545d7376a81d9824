#pragma once
// A scripted player, an episode service and a main window with the player attached,
// driven by a manual clock.
#include <memory>
#include <string>
#include <vector>

#include "core/player/player.h"
#include "core/shell/tray_icon.h"
#include "shell_fakes.h"

namespace tavlin::testing {

// Behaves as the libmpv stand-in does: loading keeps the item paused until Play,
// Stop keeps Url, the volume is clamped, seeks read back clamped to the item (unless
// clampSeeks is off, to see the program's own corrections), and at the end of the
// item the position stays and the state turns 0.
class ScriptedPlayer : public PlayerControl {
 public:
  std::string url;
  int state = kStateIdle, position = 0, duration = 0, volume = 100;
  int speed = 0, bitrate = 0, progress = 0;
  bool mute = false, fullScreen = false, clampSeeks = true;
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
  int BitRate() const override { return bitrate; }
  int DownloadProgress() const override { return progress; }
  void PrepareNext(const std::string& u) override { calls.push_back("next:" + u); }
  void SetAdPageUrl(const std::string&) override {}

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

class FakeEpisodes : public player::EpisodeService {
 public:
  shell::BA1* main = nullptr;
  std::vector<int> steps;
  std::vector<bool> buttonEnabledDuringStep;
  int resolves = 0;
  void StepEpisode(int direction) override {
    steps.push_back(direction);
    buttonEnabledDuringStep.push_back(main->C("bo_but", direction == 1 ? 5 : 7).enabled);
  }
  void ResolveNextEpisode() override { ++resolves; }
};

class ScriptedDialogs : public FakeDialogs {
 public:
  std::optional<std::string> file;
  std::vector<std::pair<std::string, std::string>> opened;  // title, filter
  std::optional<std::string> OpenFile(const std::string& title, const std::string& filter) override {
    opened.emplace_back(title, filter);
    return file;
  }
};

struct PlayerFixture {
  MainWindowFixture fx;
  ScriptedPlayer player;
  ScriptedDialogs dialogs;
  RecordingPower power;
  FakeEpisodes episodes;
  forms::ManualClock clock;
  std::unique_ptr<shell::TrayIcon> tray;
  std::unique_ptr<player::Player> p;
  shell::BA1* f = nullptr;

  explicit PlayerFixture(const std::string& commandLine = "", const std::string& sPao = "2") {
    fx.dir.Write("date.dat", "\r\n");
    fx.dir.Write("date_f.dat", "\r\n");
    fx.SetIni("S_q", "s_pao", sPao);
    f = &fx.Make();
    f->ports.player = &player;
    f->ports.power = &power;
    f->ports.dialogs = &dialogs;
    episodes.main = f;
    tray = std::make_unique<shell::TrayIcon>(*f);
    f->hooks.addTrayIcon = [this](const std::string& t) { tray->AddTrayIcon(t); };
    f->hooks.commandLine = commandLine;
    p = player::AttachPlayer(*f, {&episodes, tray.get()});
    f->Form_Load();
    f->window.visible = true;
    f->Form_Resize();
    clock.Watch(*f);
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
    f->bo_but_Click(4);
  }
  const std::string& Status() const { return f->C("zhun").caption; }
  const std::string& PlayTip() const { return f->C("bo_but", 0).tooltip; }
  const std::vector<std::string>& Balloons() const { return tray->balloons(); }
  int Count(const std::string& view, const std::string& address) {
    int n = 0;
    for (const auto& a : fx.views[view].navigations) n += a == address;
    return n;
  }
};

}  // namespace tavlin::testing
