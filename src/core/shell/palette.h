#pragma once
// The colours of the main window. The Qt layer paints from the form's data, which
// takes its colours from here, so no colour is written twice.
#include "core/forms/form.h"

namespace tavlin::shell {

inline constexpr forms::Rgb kWhite{255, 255, 255};
inline constexpr forms::Rgb kListText{0x5A, 0x5A, 0x5A};
inline constexpr forms::Rgb kHoverRed{128, 0, 0};

// The window's own colour under each skin's pictures ("蓝色经典", "灰色心情").
inline constexpr forms::Rgb kSkinBack[] = {{0, 38, 81}, {51, 51, 51}};

}  // namespace tavlin::shell
