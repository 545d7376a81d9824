#pragma once
#include <QPixmap>
#include <array>

#include "core/shell/skin_geometry.h"

namespace tavlin::ui {

// The 21 image strips of one skin, loaded from the compiled-in resources.
class SkinStrips {
 public:
  // false when the skin has no pictures (the strips then stay as they were).
  bool Load(int skin);
  int skin() const { return skin_; }
  const QPixmap& operator[](int i) const { return strips_[static_cast<size_t>(i)]; }
  bool valid(int i) const { return i >= 0 && i < shell::kStripCount && !strips_[static_cast<size_t>(i)].isNull(); }

 private:
  int skin_ = -1;
  std::array<QPixmap, shell::kStripCount> strips_;
};

}  // namespace tavlin::ui
