#pragma once
// Virtual-key codes: the numbers the program's key handlers compare with. The Qt
// layer translates its keys into these and nothing else.
namespace tavlin::forms {

inline constexpr int kKeyReturn = 13;
inline constexpr int kKeyEscape = 27;
inline constexpr int kKeySpace = 32;
inline constexpr int kKeyLeft = 37;
inline constexpr int kKeyUp = 38;
inline constexpr int kKeyRight = 39;
inline constexpr int kKeyDown = 40;
inline constexpr int kKey0 = 48;    // '0'..'9' follow
inline constexpr int kKeyA = 65;    // 'A'..'Z' follow
inline constexpr int kKeyF1 = 112;  // F1..F12 follow

}  // namespace tavlin::forms
