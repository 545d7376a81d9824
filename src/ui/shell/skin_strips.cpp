#include "ui/shell/skin_strips.h"

#include <QString>

namespace tavlin::ui {

bool SkinStrips::Load(int skin) {
  if (skin == skin_) return true;
  std::array<QPixmap, shell::kStripCount> loaded;
  for (int i = 0; i < shell::kStripCount; ++i) {
    // Resource numbers as the program's bitmaps: skin * 100 + strip + 101.
    const QString path = QStringLiteral(":/skins/%1.png").arg(skin * 100 + i + 101);
    if (!loaded[static_cast<size_t>(i)].load(path)) return false;
  }
  strips_ = loaded;
  skin_ = skin;
  return true;
}

}  // namespace tavlin::ui
