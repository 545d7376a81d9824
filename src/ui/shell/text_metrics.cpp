#include "ui/shell/text_metrics.h"

#include <QApplication>
#include <QFontMetrics>

namespace tavlin::ui {

QFont ControlFont(int pixels) {
  QFont f = QApplication::font();
  f.setPixelSize(pixels);
  return f;
}

int TextWidth(const std::string& text, int pixels) {
  return QFontMetrics(ControlFont(pixels)).horizontalAdvance(QString::fromStdString(text));
}

}  // namespace tavlin::ui
