#pragma once
// Playback on the main window: the button row, the status poll (Timer1) and the end
// of playback (Timer2), the seek and volume bars, the keys, and the command-line
// file.
#include <optional>
#include <string>

#include "core/forms/control_router.h"
#include "core/forms/keys.h"
#include "core/lists/list_files.h"
#include "core/player/episode_service.h"
#include "core/base/program_folder.h"
#include "core/base/write_failures.h"
#include "core/shell/ba1_controls.h"
#include "core/shell/seams.h"
#include "core/shell/tray_icon.h"
#include "core/shell/window_parts.h"
#include "core/state/program_state.h"
#include "platform/application.h"
#include "platform/dialogs.h"
#include "platform/player_control.h"
#include "platform/power.h"
#include "platform/screen.h"
#include "platform/tray.h"
#include "platform/view_navigator.h"

namespace tavlin::player {

inline constexpr const char* kOpenFileTitle = "选择播放文件";
// The first entry, chosen when the dialog opens, shows every format the player
// plays; the program's own two entries follow as they always were.
inline constexpr const char* kOpenFileFilter =
    "全部影音文件|*.rm;*.rmvb;*.wmv;*.mp3;*.wma;*.mid;*.wav;*.mpg;*.mp4;*.mkv;*.avi;*.mov;*.flv;*.ts;*.webm;"
    "*.m4v;*.mpeg;*.m2ts;*.mts;*.vob;*.3gp;*.3g2;*.ogv;*.ogg;*.ogm;*.asf;*.f4v;*.divx;*.dat;*.flac;*.m4a;*.aac;"
    "*.ac3;*.dts;*.opus;*.ape;*.wv;*.mka;*.oga;*.amr"
    "|影音文件|*.rm;*.rmvb;*.wmv;*.mp3;*wma;*mid;*wav;*mpg;*mp4|所有文件|*.*";

// The status poll's beat, and its quicker beat while an item is starting: the
// picture shows once the poll sees the item play, which must not wait a second.
inline constexpr int kPollMs = 1000;
inline constexpr int kStartingPollMs = 50;
// A killed program loses at most this much of where the item stood: the record is
// rewritten whenever playback has moved this far from what it last holds.
inline constexpr int kKeepPositionSeconds = 15;
// The status of an item the player could not open.
inline constexpr const char* kOpenFailedStatus = "无法打开，播放失败";
// One notch of the mouse wheel: on the seek bar, on the volume bar and the picture.
inline constexpr int kWheelSeekSeconds = 10;
inline constexpr int kWheelVolumeStep = 5;

// Nearest integer, a half going to the even neighbour.
int RoundHalfEven(double value);
// Truncation toward zero.
int Fix(double value);
// The file a command line names: without its double quotes and a final "/".
std::string CommandLinePath(const std::string& commandText);

struct PlayerPorts {
  PlayerControl* control;  // none when no player could be made: the buttons then do nothing
  Dialogs& dialogs;
  Power& power;  // the armed shutdown after playback
  Application& application;
  EpisodeService& episodes;  // previous/next and the search for the next episode
  MenuHost& menus;           // the shutdown menu
  ViewNavigator& views;      // the list pages shown again after a change
};

// What the player uses of the window besides its own controls.
struct PlayerWindow {
  shell::PlayerSurround& surround;
  shell::ViewSwitch& views;
  shell::StatusLine& status;
  shell::PlayerTitle& title;
  shell::TrayIcon& tray;
  WriteFailures& writeFailures;
  const std::string& iniPath;  // config.ini, once the window has loaded
};

class Player final : public shell::PlayerButtons {
 public:
  Player(ProgramFolder folder, shell::PlayerControls controls, PlayerWindow window, state::ProgramState& state,
         PlayerPorts ports);

  // The player's controls and keys in the router, its timers on the window's.
  void RouteInput(forms::ControlRouter& router);

  int PlayState() const override;

  // --- buttons ---
  // The row's click by button index (shell::kBo...); each button's action has its name.
  void bo_but_Click(int index);
  void PlayPause();
  void StopItem() override;
  void ToggleMute();
  void EnterFullScreen();
  void PreviousEpisode();
  void NextEpisode();
  // The play button offers a pause: an item plays, as far as the user is told.
  bool OffersPause() const { return controls_.bo_but[shell::kBoPlayPause].tooltip == "暂停"; }
  void bo_but_MouseMove(int index, int button, int x, int y);
  void adp_Click();

  // --- poll and end of playback ---
  void Timer1_Timer();
  void Timer2_Timer();
  // The control reports that playback began (or went on after a seek). While an item
  // is starting the poll looks at once: the picture is shown only once the poll has
  // seen the item play, and its quick beat would still be up to a beat late.
  void PlaybackStarted();

  // --- seek bar (gunt, huan, played, gunt1); x in pixels of the track gunt ---
  // onThumb: the press is on the thumb, which keeps the point pressed under the
  // pointer; a press beside it puts the thumb's middle there.
  void SeekBar_MouseDown(int button, int x, bool onThumb);
  void SeekBar_MouseMove(int button, int x);
  void SeekBar_MouseUp(int button);
  // steps: notches of the wheel, away from the user positive.
  void SeekBar_Wheel(int steps);
  bool SeekBarHeld() const { return seekGrab_.has_value(); }

  // --- volume bar (yin, bo_y, bo_v); x in pixels of the track yin ---
  void VolumeBar_MouseDown(int button, int x, bool onKnob);
  void VolumeBar_MouseMove(int button, int x);
  void VolumeBar_MouseUp(int button);
  // Also the wheel over the picture.
  void VolumeBar_Wheel(int steps);
  // The volume kept at the last change, given to the player at start.
  void RestoreVolume();

  // --- keys (the window sees every key first) ---
  void Form_KeyDown(int keyCode, int shift);

  // --- command line ---
  void l_com(const std::string& commandText);

  // Where a released seek bar thumb sends the item: past its end, just before it.
  void SeekTo(double seconds);
  // The volume as the up and down keys set it, to a given level.
  void SetVolume(int percent);

  // Loads an item from a play link or a list entry, plays it and starts the poll.
  // What the item is (title, state, lists) is the caller's.
  void PlayAddress(const std::string& url);

 private:
  PlayerControl* control() const { return ports_.control; }
  bool Loaded() const;
  // The item playing is the portal's page player's, not this player's.
  bool PageItemShown() const;
  void OpenLocalFile();
  // The folder of the local file played last ("" when none).
  std::string LastLocalFolder() const;
  void PlayLocalFile(const std::string& path);
  void StepEpisode(int index, int direction);
  void PaintButton(int index, bool hover);
  bool Hovered(int index) const { return controls_.Capture && *controls_.Capture == controls_.bo_but[index].key; }
  // The play button's tool tip and the picture that goes with it.
  void ShowPlayTip(const char* tip);
  void ListWriteFailed(const ListStore& lists, const char* list);
  // Writes the position into the playing item's list record (none without one);
  // false when the list could not be written.
  bool SavePosition(int position, bool report = true);
  // Called by the poll while the item plays.
  void KeepPosition(int position);
  void Balloon(const std::string& text);
  bool BalloonsOn();
  bool ShutdownArmed() const;
  // Says once per start that the item could not be opened; the status says it at every tick.
  void ReportOpenFailure();
  // The steps of the poll (Timer1), in their order.
  void ShowNothingLoaded();
  void SettlePollBeat(PlayerControl& p);
  // Arms the end handling near the end; false when the tick ends there.
  bool TrackEnd(PlayerControl& p);
  void BufferNextEpisode(PlayerControl& p);
  void ShowPlaying(PlayerControl& p);
  void ShowPlayState(int state);
  void ShowProgress(PlayerControl& p);
  void PlaceThumb(int position, int duration);
  void ShowTime(int position, int duration);
  void SoundOn();
  void ShowVolume();
  void KeepVolume();
  void MoveThumb(int left);
  int TimeUnderThumb() const;
  // Thumb and time label at where the player now stands.
  void ShowPosition();
  void SetKnob(int left);
  void PumpEvents();
  // Runs the poll at its quick beat until the item plays.
  void PollSoon();
  // A paused item plays on: the poll at its usual beat.
  void GoOn();
  void SeekBack();
  void SeekForward();
  void ChangeVolume(int delta);

  ProgramFolder folder_;
  shell::PlayerControls controls_;
  PlayerWindow mainWindow_;
  state::PlaybackState& playback_;
  state::EpisodeState& episodes_;
  PlayerPorts ports_;
  // Where the player stood when the end of the item was handled; cleared once it
  // reports another position or an item is started.
  std::optional<int> endPosition_;
  bool unlistedReported_ = false;
  // The position the item's record was last given (or held when it started playing).
  std::optional<int> keptPosition_;
  bool keepFailing_ = false;
  int startingTicks_ = 0;
  bool openFailureReported_ = false;
  // While a bar is held: where on its thumb or knob the pointer holds it.
  std::optional<int> seekGrab_;
  std::optional<int> volumeGrab_;
};

}  // namespace tavlin::player
