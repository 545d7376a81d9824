#pragma once
// Sizes of the 21 image strips of a skin: the frames that the main window copies
// out of them are at fixed offsets, so every skin's pictures have these sizes.
namespace tavlin::shell {

struct StripSize {
  int w, h;
};

inline constexpr int kStripCount = 21;
inline constexpr int kSkinCount = 2;  // "蓝色经典", "灰色心情"

inline constexpr StripSize kStripSizes[kStripCount] = {
    {80, 108},  // 0 window frame (nine-part)
    {153, 19},  // 1 window buttons: compact, skin, menu, minimise, maximise, close(33)
    {153, 19},  // 2 the same, hover
    {247, 36},  // 3 plate behind the right button group
    {60, 10},   // 4 side-panel toggle: hover closed, hover open, closed, open, initial
    {48, 19},   // 5 restore, restore hover
    {84, 19},   // 6 top-most: off, off hover, on, on hover
    {320, 35},  // 7 view tabs selected: play, home, /tv, /yy
    {320, 35},  // 8 view tabs normal
    {228, 20},  // 9 list tabs: network sel, local, local sel, network
    {3, 25},    // 10 list tab bar column
    {6, 40},    // 11 side-bar handle: shown, hidden
    {152, 33},  // 12 play, play hover, pause, pause hover
    {50, 24},   // 13 stop, stop hover
    {100, 24},  // 14 mute: sound on, hover, muted, muted hover
    {80, 24},   // 15 volume bar
    {100, 24},  // 16 shutdown, open file, full screen, side bar
    {100, 24},  // 17 the same, hover (shutdown: armed)
    {100, 24},  // 18 previous, previous hover, next, next hover
    {10, 10},   // 19 volume knob
    {90, 38},   // 20 menu picture, menu picture hover
};

}  // namespace tavlin::shell
