#pragma once
// The parts of the main window that other rooms may change, each narrow: a room is
// handed the ones it uses in its constructor, never the window itself. The window
// (BA1) owns them or implements them; program.cpp passes them on, so a new room
// needs its folder, one member and one line there, and no change to the window
// unless it asks for a part not offered yet.
#include <optional>
#include <string>

#include "core/base/config.h"
#include "core/forms/form.h"

namespace tavlin::shell {

// The status line under the picture (zhun): the one way rooms write it.
class StatusLine {
 public:
  explicit StatusLine(forms::Control& zhun) : zhun_(zhun) {}
  void Show(const std::string& text) { zhun_.SetCaption(text); }
  const std::string& Text() const { return zhun_.caption; }

 private:
  forms::Control& zhun_;
};

// The playing item's name under the picture (bo_name): cut to 30 width units, then
// the suffix; the whole of it on hover.
class PlayerTitle {
 public:
  explicit PlayerTitle(forms::Control& boName) : boName_(boName) {}
  void Show(const std::string& name, const std::string& suffix = "");
  const std::string& Text() const { return boName_.caption; }

 private:
  forms::Control& boName_;
};

// The window's view area: the play view, and which list the side panel shows.
class ViewSwitch {
 public:
  virtual ~ViewSwitch() = default;
  // The player on screen, its list beside it (the play tab's click).
  virtual void ShowPlayView() = 0;
  // The local list is selected (read back from the list switch's caption).
  virtual bool LocalListSelected() const = 0;
};

// The label under the side panel's lists (qk): clears a list or opens the menu of
// the network list.
class ListLabel {
 public:
  virtual ~ListLabel() = default;
  virtual forms::Control& Label() = 0;
  // The pointer is over it: its hover colour.
  virtual void Hovered() = 0;
  // Clicked: drawn pressed until the pointer moves again.
  virtual void Pressed() = 0;
};

// The portal view's area: the portal itself (Pic1) or the waiting panel (wait) with
// its notice (webe) and retry link (jia); beside the player, its ad or the ad picture.
class PortalArea {
 public:
  virtual ~PortalArea() = default;
  virtual void ShowPortal() = 0;
  virtual void ShowPortalFailed(const std::string& notice) = 0;
  virtual void ShowPlayerAdFailed() = 0;
  // The player's ad in place of the ad picture.
  virtual void ShowPlayerAd() = 0;
  // The controls whose click asks for the portal again.
  virtual forms::Control& RetryLink() = 0;
  virtual forms::Control& RetryNotice() = 0;
};

// Bringing the window to the user: from the desktop or a second start.
class WindowFront {
 public:
  virtual ~WindowFront() = default;
  // Shown (from the tray too), restored and raised above other windows.
  virtual void ComeToFront() = 0;
  // Back from the compact window to the full one; nothing when not compact.
  virtual void LeaveCompactMode() = 0;
  // No longer above other windows, so that one the desktop opens comes up above it.
  virtual void Unpin() = 0;
  // Pinned by the user above other windows.
  virtual bool Pinned() const = 0;
  // Above other windows or not for a while, the pin button left as it is.
  virtual void HoldAbove(bool above) = 0;
  // Shown (from the tray too) and restored, not raised.
  virtual void ShowRestored() = 0;
};

// The two skins of the window.
class SkinChoice {
 public:
  virtual ~SkinChoice() = default;
  virtual int SkinInUse() const = 0;
  virtual void UseSkin(int skin) = 0;
};

// The player's shutdown button (bo_but): its tool tip and picture say whether the
// machine shuts down when playback ends.
class ShutdownButton {
 public:
  explicit ShutdownButton(forms::Control& button) : button_(button) {}
  void ShowArmed(bool armed);

 private:
  forms::Control& button_;
};

// The notices beside the player (Lab2(0..3)), one on show at a time; Lab(0) keeps
// the number of the one on show.
class NoticeArea {
 public:
  virtual ~NoticeArea() = default;
  virtual forms::ControlArray& Notices() = 0;
  virtual forms::Control& ShownNumber() = 0;
  // The compact window shows none.
  virtual bool InCompactMode() const = 0;
};

// The player's own controls on the window and its two timers (the poll and the end
// of playback): the player drives them, no other room does.
struct PlayerControls {
  forms::ControlArray& bo_but;
  forms::Control &gunt, &gunt1, &huan, &played, &yin, &bo_y, &bo_v, &bo_ad, &adp, &QvodC, &qvod, &next_s, &times, &p1;
  // The window's hover capture, which the buttons of the row take and give back.
  std::optional<forms::ControlKey>& Capture;
  forms::Timer &Timer1, &Timer2;
};

// What the player asks of the window around its controls.
class PlayerSurround {
 public:
  virtual ~PlayerSurround() = default;
  // The row's sidebar button.
  virtual void ToggleSidebar() = 0;
  // Another item plays: the compact window's title follows it.
  virtual void ItemChanged() = 0;
  // The picture is on screen, with everything it sits in.
  virtual bool PictureShown() const = 0;
  // The ordinary pointer over the window.
  virtual void ArrowPointer() = 0;
  // Writes one setting of config.ini; a failure is reported, the old file kept.
  virtual void SaveSetting(IniKey key, const std::string& value) = 0;
};

}  // namespace tavlin::shell
