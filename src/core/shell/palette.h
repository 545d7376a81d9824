#pragma once
// The colours of the main window. The Qt layer paints from the form's data, which
// takes its colours from here, so no colour is written twice.
#include "core/forms/form.h"
#include "core/shell/skin_geometry.h"

namespace tavlin::shell {

inline constexpr forms::Rgb kWhite{255, 255, 255};
inline constexpr forms::Rgb kListText{0x5A, 0x5A, 0x5A};
inline constexpr forms::Rgb kHoverRed{128, 0, 0};

// Everything the window paints itself that must match a skin's pictures. The
// colours not listed here (white pages, black video, hover red, the tooltip) are
// the same under every skin.
struct SkinPalette {
  forms::Rgb window;      // under the frame pictures: the form, zz and L1
  forms::Rgb status;      // the status strip under the player (bo_zt)
  forms::Rgb statusText;  // its texts (zhun, times)
  forms::Rgb track;       // the seek track (gunt)
  forms::Rgb buffered;    // the download band on it (huan)
  forms::Rgb played;      // the part played, over the band
  forms::Rgb volume;      // the volume fill (bo_y), the tone of the volume strip
  forms::Rgb title;       // the playing item's name (bo_name)
  forms::Rgb listBack;    // the side panel behind the lists (l3)
  forms::Rgb listBar;     // the bar under the lists (shan)
  forms::Rgb listLine;    // its top line (Line1)
  forms::Rgb notice;      // behind the notices on the title band (Lab2): their own colour reads on it
  const char* cover;      // the idle player's picture, a resource drawn with the strips
  const char* thumb;      // the seek bar's thumb (gunt1), 13 x 7, a resource as the cover
};

// "蓝色经典", "灰色心情": the same order as the strips. The grey colours stay within
// a few steps of neutral, the volume fill takes the grey skin's amber accent.
inline constexpr SkinPalette kSkins[kSkinCount] = {
    {{0, 38, 81},
     {16, 24, 36},
     {200, 210, 225},
     {40, 48, 60},
     {90, 110, 140},
     {58, 163, 255},
     {90, 150, 220},
     {220, 230, 242},
     {244, 247, 251},
     {236, 241, 247},
     {200, 208, 220},
     {240, 244, 250},
     "adp",
     "thumb"},
    {{51, 51, 51},
     {30, 30, 32},
     {210, 210, 212},
     {56, 56, 59},
     {120, 120, 123},
     {240, 160, 60},
     {240, 160, 60},
     {226, 226, 228},
     {246, 246, 247},
     {238, 238, 240},
     {208, 208, 211},
     {242, 242, 242},
     "adp1",
     "thumb1"},
};

}  // namespace tavlin::shell
