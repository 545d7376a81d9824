#pragma once
#include <string>

namespace tavlin {

// The notification-area icon of the main window.
class Tray {
 public:
  virtual ~Tray() = default;
  // Whether the desktop has a tray to show the icon in now; many have none, and a
  // window hidden to a tray that is not there cannot be brought back.
  virtual bool Available() = 0;
  virtual void Add(const std::string& tooltip) = 0;
  virtual void ShowBalloon(const std::string& title, const std::string& text, const std::string& tooltip) = 0;
  virtual void Remove() = 0;
};

// Pops up a menu of the menu form at a point of the main window (pixels); the
// items' clicks come back to the menu form by item name.
class MenuHost {
 public:
  virtual ~MenuHost() = default;
  virtual void Popup(const std::string& menu, int x, int y) = 0;
  // At the mouse pointer, wherever it is (tray icon, player button).
  virtual void PopupAtPointer(const std::string& menu) = 0;
};

}  // namespace tavlin
