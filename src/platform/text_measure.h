#pragma once
#include <string>

namespace tavlin {

// How wide a text is on screen, for labels whose size follows their text.
class TextMeasure {
 public:
  virtual ~TextMeasure() = default;
  virtual int Width(const std::string& utf8, int fontPixels) const = 0;
};

}  // namespace tavlin
