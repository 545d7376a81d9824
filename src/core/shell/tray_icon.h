#pragma once
// The notification-area icon of the main window: tooltip, left-click toggling,
// the program menu on a right click, and every balloon of the program.
#include <cstdint>
#include <optional>
#include <string>

namespace tavlin::shell {

class BA1;

inline constexpr const char* kBalloonTitle = "Tavlin提示:";
// The menu of the menu form that belongs to the icon.
inline constexpr const char* kTrayMenu = "r_m";

class TrayIcon {
 public:
  explicit TrayIcon(BA1& main) : main_(main) {}

  void AddTrayIcon(const std::string& tooltip);
  void ShowTrayBalloon(const std::string& text);
  void RemoveTrayIcon();
  // Mouse released on the icon: 1 left, 2 right.
  void OnClick(int button);

  bool installed() const { return installed_; }
  const std::string& tooltip() const { return tooltip_; }

 private:
  struct ShownBalloon {
    std::string text;
    int64_t at = 0;
  };
  BA1& main_;
  bool installed_ = false;
  std::string tooltip_;
  std::optional<ShownBalloon> lastBalloon_;
};

// How long a balloon stays on screen, at least, as far as merging goes.
inline constexpr int64_t kBalloonMergeMs = 10000;

// The first max characters of a UTF-8 text (whole code points).
std::string CutToCharacters(const std::string& text, size_t max);

}  // namespace tavlin::shell
