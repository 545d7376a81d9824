#pragma once
// The desktop and the native window of a form: what the frameless main window asks
// of the window system. The core keeps the window's data (size, state) itself and
// calls these to make the real window follow.
#include <string>
#include <vector>

#include "platform/geometry.h"

namespace tavlin {

class Screen {
 public:
  virtual ~Screen() = default;
  // The desktop area not taken by panels (left, top, width, height in pixels).
  virtual PixelRect WorkArea() = 0;
  virtual int ScreenWidth() = 0;
  virtual int ScreenHeight() = 0;
  // False where the window system keeps placement and stacking to itself (Wayland):
  // a program can neither put a window at a spot nor keep one above the others.
  virtual bool PlacesWindows() = 0;
};

// Non-client hit codes of the edges, as the resize starter names them.
enum HitCode : int {
  kHitCaption = 2,
  kHitLeft = 10,
  kHitRight = 11,
  kHitTop = 12,
  kHitTopLeft = 13,
  kHitTopRight = 14,
  kHitBottom = 15,
  kHitBottomLeft = 16,
  kHitBottomRight = 17,
};

class WindowHost {
 public:
  virtual ~WindowHost() = default;
  virtual void SetGeometry(int x, int y, int w, int h) = 0;
  virtual void SetSize(int w, int h) = 0;
  virtual void ShowNormal() = 0;
  virtual void ShowMinimized() = 0;
  virtual void ShowMaximized() = 0;
  virtual void SetVisible(bool visible) = 0;
  // Puts the shown window above the others and gives it the focus.
  virtual void BringToFront() = 0;
  virtual void SetTopmost(bool on) = 0;  // keeps position and size
  virtual void SetCursor(int shape) = 0;
  // Hands the pointer to the window system, which moves or resizes the window until
  // the button is released (kHitCaption moves).
  virtual void StartSystemMoveResize(int hitCode) = 0;
  virtual void SetSizeLimits(int minW, int minH, int maxW, int maxH) = 0;
  // The window's shape as a union of rectangles (empty: the whole rectangle).
  virtual void SetShape(const std::vector<PixelRect>& rects) = 0;
};

}  // namespace tavlin
