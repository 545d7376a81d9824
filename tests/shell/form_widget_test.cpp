// The mirror draws again only what looks different, and what looks different is
// always drawn: read back from what the window system was given, not from the model.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QScreen>
#include <map>

#include "ui/shell/form_widget.h"

namespace tavlin::ui {
namespace {

class NoInput : public InputSink {
 public:
  void Raise(const forms::InputEvent&) override {}
};

// Counts the paint events of every widget of a window.
class PaintCounter : public QObject {
 public:
  bool eventFilter(QObject* o, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++count[o->objectName().toStdString()];
    return false;
  }
  std::map<std::string, int> count;
};

struct Window {
  Window() : widget(strips) {
    form.window = {.x = 0, .y = 0, .w = 200, .h = 100, .visible = true};
    form.backColor = {10, 10, 10};
    auto& swatch = form.Add("swatch", std::nullopt, forms::ControlKind::PictureBox);
    swatch.Move(10, 10, 40, 40);
    swatch.back = forms::Rgb{255, 0, 0};
    auto& other = form.Add("other", std::nullopt, forms::ControlKind::Label);
    other.Move(120, 10, 60, 20);
    other.back = forms::Rgb{0, 0, 255};
    other.caption = "x";
    widget.Build(form, sink, nullptr);
    Settle();
    for (QWidget* w : widget.findChildren<QWidget*>()) w->installEventFilter(&paints);
    widget.installEventFilter(&paints);
  }
  void Settle() {
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
  }
  // The sync after an event, then whatever painting it asked for.
  void Event() {
    paints.count.clear();
    widget.Sync();
    Settle();
  }
  QColor Shown(int x, int y) { return widget.screen()->grabWindow(widget.winId()).toImage().pixelColor(x, y); }
  forms::Form form{"F"};
  SkinStrips strips;
  NoInput sink;
  FormWidget widget;
  PaintCounter paints;
};

TEST(FormMirror, AnEventThatChangesNothingDrawsNothingAndAChangeIsDrawnWhereItIs) {
  Window w;
  ASSERT_EQ(w.Shown(20, 20), QColor(255, 0, 0));
  // The once-a-second poll with nothing to show: no painting at all.
  for (int i = 0; i < 3; ++i) {
    w.Event();
    EXPECT_TRUE(w.paints.count.empty()) << "painted " << w.paints.count.begin()->first;
  }
  // The same text written again is no change either.
  w.form.C("other").caption = "x";
  w.Event();
  EXPECT_TRUE(w.paints.count.empty());

  w.form.C("swatch").back = forms::Rgb{0, 255, 0};
  w.Event();
  EXPECT_EQ(w.Shown(20, 20), QColor(0, 255, 0));
  EXPECT_EQ(w.paints.count["other"], 0);  // far from the change
  EXPECT_EQ(w.Shown(150, 15), QColor(0, 0, 255));

  w.form.backColor = {0, 0, 0};
  w.Event();
  EXPECT_EQ(w.Shown(100, 80), QColor(0, 0, 0));
}

}  // namespace
}  // namespace tavlin::ui
