#include "core/shell/skin_frames.h"

namespace tavlin::shell {

namespace {
forms::Frame F(int strip, int x, int w, int h) { return {strip, x, 0, w, h}; }
bool Contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }
}  // namespace

void SetFrame(forms::Control& c, int strip, int x, int w, int h) { c.frame = F(strip, x, w, h); }

std::optional<forms::Frame> NpcFrame(int index, bool hover, bool maximized, const std::string& tooltip) {
  // Strip 1 holds the normal looks of the window buttons, strip 2 the hovered ones.
  const int buttons = hover ? 2 : 1;
  switch (index) {
    case 0: return F(buttons, 72, 24, 19);
    case 1: return maximized ? F(5, hover ? 24 : 0, 24, 19) : F(buttons, 96, 24, 19);
    case 2: return F(buttons, 120, 33, 19);
    case 3: return F(buttons, 24, 24, 19);
    case 4: return F(6, (tooltip == "置顶" ? 0 : 42) + (hover ? 21 : 0), 21, 19);
    case 5: return F(buttons, 48, 24, 19);
    case 7: return F(4, (Contains(tooltip, "关闭") ? 10 : 0) + (hover ? 0 : 20), 10, 10);
    case 15: return F(buttons, 0, 24, 19);
    case 16: return F(20, hover ? 45 : 0, 45, 38);
    default: return std::nullopt;
  }
}

std::optional<forms::Frame> TabFrame(int index, bool selected, int height) {
  int x = 0;
  switch (index) {
    case 9: x = 0; break;
    case 8: x = 80; break;
    case 13: x = 160; break;
    case 14: x = 240; break;
    default: return std::nullopt;
  }
  return F(selected ? 7 : 8, x, 80, height);
}

forms::Frame ListTabFrame(int index, bool localSelected) {
  const bool network = index == 11;
  if (localSelected) return F(9, network ? 171 : 114, 57, 20);
  return F(9, network ? 0 : 57, 57, 20);
}

forms::Frame SideBarHandleFrame(bool shown) { return F(11, shown ? 0 : 3, 3, 40); }

std::optional<forms::Frame> BoButFrame(int index, bool hover, const std::string& tooltip) {
  const int w = index == 0 ? 38 : 25;
  const int h = index == 0 ? 33 : 24;
  // Strip 16 holds the normal looks of the right-hand group, strip 17 the hovered ones.
  const int group = hover ? 17 : 16;
  switch (index) {
    case 0: return F(12, (tooltip == "暂停" ? 76 : 0) + (hover ? 38 : 0), w, h);
    case 1: return F(13, hover ? 25 : 0, w, h);
    case 2: return F(14, (tooltip == "静音" ? 0 : 50) + (hover ? 25 : 0), w, h);
    case 3: return F(group, 50, w, h);
    case 4: return F(group, 25, w, h);
    case 5: return F(18, hover ? 25 : 0, w, h);
    case 6:
      if (hover) return std::nullopt;
      return F(Contains(tooltip, "已开启") ? 17 : 16, 0, w, h);
    case 7: return F(18, hover ? 75 : 50, w, h);
    case 8: return F(group, 75, w, h);
    default: return std::nullopt;
  }
}

}  // namespace tavlin::shell
