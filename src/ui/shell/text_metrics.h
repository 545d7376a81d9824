#pragma once
// The font labels are painted with, and the width of a text in it: the core sizes
// its auto-sized labels by this, so what it lays out is what the screen shows.
#include <QFont>
#include <string>

#include "platform/text_measure.h"

namespace tavlin::ui {

QFont ControlFont(int pixels);
// Width in pixels of the text as a label paints it.
int TextWidth(const std::string& text, int pixels);

class QtTextMeasure final : public TextMeasure {
 public:
  int Width(const std::string& utf8, int fontPixels) const override { return TextWidth(utf8, fontPixels); }
};

}  // namespace tavlin::ui
