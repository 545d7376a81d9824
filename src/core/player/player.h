#pragma once
// Playback on the main window: the button row, the status poll (Timer1) and the end
// of playback (Timer2), the seek and volume bars, the keys, and the command-line
// file. AttachPlayer hooks all of it into a BA1; the returned object must outlive
// the window's use of those hooks.
#include <memory>
#include <optional>
#include <string>

#include "core/forms/form.h"
#include "core/player/episode_service.h"
#include "core/shell/ba1.h"
#include "core/shell/tray_icon.h"

namespace tavlin::player {

// Mouse buttons as the handlers receive them.
inline constexpr int kLeftButton = 1;
inline constexpr int kRightButton = 2;

// Virtual-key codes of the keys the player acts on.
inline constexpr int kKeySpace = 32;
inline constexpr int kKeyLeft = 37;
inline constexpr int kKeyUp = 38;
inline constexpr int kKeyRight = 39;
inline constexpr int kKeyDown = 40;

inline constexpr const char* kOpenFileTitle = "选择播放文件";
inline constexpr const char* kOpenFileFilter =
    "影音文件|*.rm;*.rmvb;*.wmv;*.mp3;*wma;*mid;*wav;*mpg;*mp4|所有文件|*.*";

// Nearest integer, a half going to the even neighbour.
int RoundHalfEven(double value);
// Truncation toward zero.
int Fix(double value);

struct PlayerPorts {
  EpisodeService* episodes = nullptr;  // none: previous/next and the next-episode search do nothing
  shell::TrayIcon* trayIcon = nullptr;  // every balloon goes through it
};

enum class MouseAction { Down, Move, Up, Click };

class Player {
 public:
  Player(shell::BA1& main, PlayerPorts ports);

  // --- buttons ---
  void bo_but_Click(int index);
  void bo_but_MouseMove(int index, int button, int x, int y);
  void adp_Click();

  // --- poll and end of playback ---
  void Timer1_Timer();
  void Timer2_Timer();

  // --- seek bar; x in pixels of the control pressed ---
  void gunt_MouseDown(int button, int x, int y);
  void gunt_MouseUp(int button, int x, int y);
  void huan_MouseDown(int button, int x, int y);
  void huan_MouseUp(int button, int x, int y);
  void gunt1_MouseMove(int button, int x, int y);
  void gunt1_MouseUp(int button, int x, int y);

  // --- volume bar ---
  void yin_MouseDown(int button, int x, int y);
  void bo_y_MouseDown(int button, int x, int y);
  void bo_v_MouseMove(int button, int x, int y);

  // --- keys (the window sees every key first) ---
  void Form_KeyDown(int keyCode, int shift);

  // --- command line ---
  void l_com(const std::string& commandText);

  // One entry for the UI layer: routes a mouse event on a control of the player
  // area to its handler. false when the control is not the player's.
  bool ControlMouse(const forms::ControlKey& key, MouseAction action, int button, int x, int y);
  // The pointer left a control without a last move (the window lost the capture).
  void ControlLeave(const forms::ControlKey& key);

 private:
  PlayerControl* control() const { return main_.ports.player; }
  bool Loaded() const;
  void OpenLocalFile();
  void PlayLocalFile(const std::string& path);
  void StepEpisode(int index, int direction);
  void PaintButton(int index, bool hover);
  void Balloon(const std::string& text);
  bool BalloonsOn();
  bool ShutdownArmed() const;
  void PlaceThumb(int position, int duration);
  void ShowTime(int position, int duration);
  void ReleaseSeek(double target);
  void SoundOn();
  void ShowVolume();
  void SetKnob(int left);
  void PumpEvents();
  void SeekBack();
  void SeekForward();
  void ChangeVolume(int delta);

  shell::BA1& main_;
  PlayerPorts ports_;
  // Where the player stood when the end of the item was handled; cleared once it
  // reports another position or an item is started.
  std::optional<int> endPosition_;
};

// Builds the player subsystem for a main window and attaches its handlers:
// bo_but_Click, l_com, the key hook, Timer1 and Timer2.
std::unique_ptr<Player> AttachPlayer(shell::BA1& main, PlayerPorts ports);

}  // namespace tavlin::player
