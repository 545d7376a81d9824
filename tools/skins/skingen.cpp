// Draws the image strips of the program's two skins, "蓝色经典" and "灰色心情", as PNG
// files named by their resource numbers (skin * 100 + strip + 101), plus the
// program icon and a Qt resource file listing them. Everything is drawn from
// code, so a build always produces the same pictures.
//
//   tavlin_skingen OUTPUT_DIR
#include <QDir>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTextStream>
#include <cstdio>

#include "core/shell/skin_geometry.h"

namespace {

using tavlin::shell::kStripSizes;

struct Palette {
  QColor top1, top2;        // title band, top to bottom
  QColor bottom1, bottom2;  // control band
  QColor border;
  QColor accent, accentHi;
  QColor glyph;       // window and player glyphs
  QColor tab1, tab2;  // selected tab
  QColor tabText;     // text on the selected tab
  QColor bar1, bar2;  // list tab bar
  QColor listText;
  QColor coverTitle, coverText;  // the idle player's picture
};

const Palette kSkins[2] = {
    // 蓝色经典: deep navy with a clear sky-blue accent.
    {QColor(38, 110, 186), QColor(9, 52, 104), QColor(12, 50, 96), QColor(4, 27, 56), QColor(3, 24, 52),
     QColor(58, 163, 255), QColor(120, 200, 255), QColor(235, 244, 255), QColor(250, 252, 255), QColor(214, 231, 248),
     QColor(14, 74, 140), QColor(246, 249, 253), QColor(220, 230, 242), QColor(70, 84, 104), QColor(235, 242, 250),
     QColor(150, 170, 195)},
    // 灰色心情: graphite with a warm amber accent.
    {QColor(92, 92, 96), QColor(44, 44, 48), QColor(50, 50, 54), QColor(28, 28, 30), QColor(20, 20, 22),
     QColor(240, 160, 60), QColor(255, 204, 120), QColor(238, 238, 240), QColor(250, 250, 250), QColor(222, 222, 226),
     QColor(70, 70, 76), QColor(246, 246, 247), QColor(224, 224, 228), QColor(80, 80, 86), QColor(240, 240, 241),
     QColor(172, 172, 174)},
};

QImage NewStrip(int i) {
  QImage img(kStripSizes[i].w, kStripSizes[i].h, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  return img;
}

void Smooth(QPainter& p) {
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
}

QFont Font(int px, bool bold = false) {
  QFont f(QStringLiteral("WenQuanYi Micro Hei"));
  f.setPixelSize(px);
  f.setBold(bold);
  f.setHintingPreference(QFont::PreferFullHinting);
  return f;
}

QColor Alpha(QColor c, int a) {
  c.setAlpha(a);
  return c;
}

// The window frame: title band rows 0-54, side texture rows 55-62, control band
// rows 63-107. The compact frame takes its pieces from the same picture.
QImage Frame(const Palette& s) {
  QImage img = NewStrip(0);
  QPainter p(&img);
  QLinearGradient top(0, 0, 0, 55);
  top.setColorAt(0, s.top1);
  top.setColorAt(0.45, s.top1.darker(125));
  top.setColorAt(1, s.top2);
  p.fillRect(0, 0, 80, 55, top);
  p.fillRect(0, 55, 80, 8, s.top2);
  QLinearGradient bottom(0, 63, 0, 108);
  bottom.setColorAt(0, s.bottom1);
  bottom.setColorAt(1, s.bottom2);
  p.fillRect(0, 63, 80, 45, bottom);
  p.fillRect(0, 63, 80, 1, Alpha(Qt::white, 28));  // seam under the content
  p.fillRect(0, 0, 80, 1, Alpha(Qt::white, 70));   // top highlight
  p.fillRect(0, 0, 1, 108, s.border);
  p.fillRect(79, 0, 1, 108, s.border);
  p.fillRect(0, 107, 80, 1, s.border);
  // Logo in the top-left corner: a rounded tile with a play mark.
  Smooth(p);
  QRectF tile(11, 13, 24, 24);
  QLinearGradient tg(tile.topLeft(), tile.bottomRight());
  tg.setColorAt(0, s.accentHi);
  tg.setColorAt(1, s.accent.darker(130));
  p.setPen(Qt::NoPen);
  p.setBrush(tg);
  p.drawRoundedRect(tile, 6, 6);
  QPainterPath tri;
  tri.moveTo(20, 19);
  tri.lineTo(30, 25);
  tri.lineTo(20, 31);
  tri.closeSubpath();
  p.setBrush(Qt::white);
  p.drawPath(tri);
  return img;
}

// Window command glyphs, 24 wide (close 33), in strips 1 and 2.
void WindowButtons(QImage& img, const Palette& s, bool hover) {
  QPainter p(&img);
  Smooth(p);
  for (int k = 0; k < 6; ++k) {
    const int x0 = k * 24, w = k == 5 ? 33 : 24;
    if (hover) {
      p.setPen(Qt::NoPen);
      p.setBrush(k == 5 ? QColor(224, 67, 67) : Alpha(Qt::white, 46));
      p.drawRoundedRect(QRectF(x0 + 1, 0, w - 2, 18), 3, 3);
    }
    QPen pen(Alpha(s.glyph, hover ? 255 : 215), 1.4);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const double cx = x0 + w / 2.0, cy = 9.5;
    switch (k) {
      case 0:  // compact mode: a small screen in a big one
        p.drawRect(QRectF(cx - 6, cy - 5, 12, 10));
        p.fillRect(QRectF(cx, cy, 5, 4), Alpha(s.glyph, hover ? 255 : 215));
        break;
      case 1: {  // skin: a shirt
        QPainterPath shirt;
        shirt.moveTo(cx - 3, cy - 5);
        shirt.lineTo(cx - 7, cy - 2);
        shirt.lineTo(cx - 5, cy + 1);
        shirt.lineTo(cx - 4, cy);
        shirt.lineTo(cx - 4, cy + 5);
        shirt.lineTo(cx + 4, cy + 5);
        shirt.lineTo(cx + 4, cy);
        shirt.lineTo(cx + 5, cy + 1);
        shirt.lineTo(cx + 7, cy - 2);
        shirt.lineTo(cx + 3, cy - 5);
        shirt.quadTo(cx, cy - 2, cx - 3, cy - 5);
        p.drawPath(shirt);
        break;
      }
      case 2:  // main menu: three lines
        for (int l = -1; l <= 1; ++l) p.drawLine(QPointF(cx - 6, cy + l * 3.5), QPointF(cx + 6, cy + l * 3.5));
        break;
      case 3:  // minimise
        p.drawLine(QPointF(cx - 5, cy + 3), QPointF(cx + 5, cy + 3));
        break;
      case 4:  // maximise
        p.drawRect(QRectF(cx - 5, cy - 5, 10, 9));
        p.drawLine(QPointF(cx - 5, cy - 4), QPointF(cx + 5, cy - 4));
        break;
      case 5:  // close
        pen.setWidthF(1.6);
        p.setPen(pen);
        p.drawLine(QPointF(cx - 4.5, cy - 4.5), QPointF(cx + 4.5, cy + 4.5));
        p.drawLine(QPointF(cx + 4.5, cy - 4.5), QPointF(cx - 4.5, cy + 4.5));
        break;
    }
  }
}

// A soft plate behind the right-hand player buttons.
QImage Plate(const Palette& s) {
  QImage img = NewStrip(3);
  QPainter p(&img);
  Smooth(p);
  QLinearGradient g(0, 0, 247, 0);
  g.setColorAt(0, Alpha(s.accent, 0));
  g.setColorAt(0.45, Alpha(Qt::white, 14));
  g.setColorAt(1, Alpha(Qt::white, 24));
  p.setPen(Qt::NoPen);
  p.setBrush(g);
  p.drawRoundedRect(QRectF(96, 3, 148, 30), 15, 15);
  p.setPen(QPen(Alpha(Qt::white, 30), 1));
  p.drawLine(QPointF(120, 4.5), QPointF(230, 4.5));
  return img;
}

// Side-panel toggle on the list tab bar: closed "+", open "−".
QImage PanelToggle(const Palette& s) {
  QImage img = NewStrip(4);
  QPainter p(&img);
  Smooth(p);
  auto glyph = [&](int x0, bool open, bool hover) {
    p.setPen(Qt::NoPen);
    p.setBrush(hover ? s.accent : Alpha(s.listText, 150));
    p.drawRoundedRect(QRectF(x0 + 0.5, 0.5, 9, 9), 2, 2);
    p.setPen(QPen(Qt::white, 1.4));
    p.drawLine(QPointF(x0 + 2.5, 5), QPointF(x0 + 7.5, 5));
    if (!open) p.drawLine(QPointF(x0 + 5, 2.5), QPointF(x0 + 5, 7.5));
  };
  glyph(0, false, true);
  glyph(10, true, true);
  glyph(20, false, false);
  glyph(30, true, false);
  glyph(50, false, false);
  return img;
}

void RestoreGlyph(QPainter& p, const Palette& s, double cx, double cy, bool hover) {
  p.setPen(QPen(Alpha(s.glyph, hover ? 255 : 215), 1.4));
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRectF(cx - 2, cy - 6, 8, 7));
  p.drawRect(QRectF(cx - 6, cy - 2, 8, 7));
}

QImage Restore(const Palette& s) {
  QImage img = NewStrip(5);
  QPainter p(&img);
  Smooth(p);
  p.setPen(Qt::NoPen);
  p.setBrush(Alpha(Qt::white, 46));
  p.drawRoundedRect(QRectF(25, 0, 22, 18), 3, 3);
  RestoreGlyph(p, s, 12, 10, false);
  RestoreGlyph(p, s, 36, 10, true);
  return img;
}

QImage Pin(const Palette& s) {
  QImage img = NewStrip(6);
  QPainter p(&img);
  Smooth(p);
  for (int k = 0; k < 4; ++k) {
    const double x0 = k * 21, cx = x0 + 10.5;
    const bool on = k >= 2, hover = k % 2 == 1;
    if (hover) {
      p.setPen(Qt::NoPen);
      p.setBrush(Alpha(Qt::white, 46));
      p.drawRoundedRect(QRectF(x0 + 1, 0, 19, 18), 3, 3);
    }
    const QColor c = on ? s.accentHi : Alpha(s.glyph, hover ? 255 : 215);
    p.setPen(QPen(c, 1.4));
    p.setBrush(on ? QBrush(c) : Qt::NoBrush);
    p.save();
    p.translate(cx, 9.5);
    p.rotate(on ? 0 : 40);
    p.drawRoundedRect(QRectF(-3, -6, 6, 6), 1, 1);
    p.drawLine(QPointF(-5, 0), QPointF(5, 0));
    p.drawLine(QPointF(0, 0), QPointF(0, 6));
    p.restore();
  }
  return img;
}

const char* const kTabTitles[4] = {"正在播放", "影视首页", "电视剧", "电影"};

QImage Tabs(const Palette& s, bool selected, int strip) {
  QImage img = NewStrip(strip);
  QPainter p(&img);
  Smooth(p);
  for (int k = 0; k < 4; ++k) {
    const int x0 = k * 80;
    if (selected) {
      QPainterPath tab;
      tab.moveTo(x0 + 2, 35);
      tab.lineTo(x0 + 2, 8);
      tab.quadTo(x0 + 2, 3, x0 + 7, 3);
      tab.lineTo(x0 + 73, 3);
      tab.quadTo(x0 + 78, 3, x0 + 78, 8);
      tab.lineTo(x0 + 78, 35);
      tab.closeSubpath();
      QLinearGradient g(0, 3, 0, 33);
      g.setColorAt(0, s.tab1);
      g.setColorAt(1, s.tab2);
      p.setPen(QPen(Alpha(Qt::white, 160), 1));
      p.setBrush(g);
      p.drawPath(tab);
      p.fillRect(QRectF(x0 + 14, 3, 52, 2), s.accent);
    }
    p.setFont(Font(13, selected));
    p.setPen(selected ? s.tabText : Alpha(Qt::white, 225));
    p.drawText(QRect(x0, 6, 80, 24), Qt::AlignCenter, QString::fromUtf8(kTabTitles[k]));
  }
  return img;
}

QImage ListTabs(const Palette& s) {
  QImage img = NewStrip(9);
  QPainter p(&img);
  Smooth(p);
  // network selected, local, local selected, network
  const struct {
    const char* title;
    bool selected;
  } tabs[4] = {{"网络任务", true}, {"本地列表", false}, {"本地列表", true}, {"网络任务", false}};
  for (int k = 0; k < 4; ++k) {
    const int x0 = k * 57;
    if (tabs[k].selected) {
      p.setPen(QPen(s.bar2.darker(115), 1));
      p.setBrush(Qt::white);
      p.drawRoundedRect(QRectF(x0 + 0.5, 0.5, 56, 22), 4, 4);
      p.fillRect(QRectF(x0 + 8, 1, 41, 2), s.accent);
    }
    p.setFont(Font(12, tabs[k].selected));
    p.setPen(tabs[k].selected ? s.tabText : s.listText);
    p.drawText(QRect(x0, 2, 57, 18), Qt::AlignCenter, QString::fromUtf8(tabs[k].title));
  }
  return img;
}

QImage TabBar(const Palette& s) {
  QImage img = NewStrip(10);
  QPainter p(&img);
  QLinearGradient g(0, 0, 0, 25);
  g.setColorAt(0, s.bar1);
  g.setColorAt(1, s.bar2);
  p.fillRect(0, 0, 3, 25, g);
  p.fillRect(0, 24, 3, 1, s.bar2.darker(115));
  return img;
}

QImage Handle(const Palette& s) {
  QImage img = NewStrip(11);
  QPainter p(&img);
  p.fillRect(0, 0, 3, 40, s.accent);
  p.fillRect(1, 14, 1, 12, Qt::white);
  p.fillRect(3, 0, 3, 40, s.accent.darker(140));
  p.fillRect(4, 14, 1, 12, Alpha(Qt::white, 180));
  return img;
}

void Disc(QPainter& p, const Palette& s, QRectF r, bool hover) {
  QRadialGradient g(r.center() - QPointF(0, r.height() / 4), r.width() * 0.75);
  g.setColorAt(0, hover ? s.accentHi.lighter(115) : s.accentHi);
  g.setColorAt(1, hover ? s.accent : s.accent.darker(135));
  p.setPen(QPen(Alpha(Qt::white, hover ? 200 : 120), 1));
  p.setBrush(g);
  p.drawEllipse(r);
}

QImage PlayPause(const Palette& s) {
  QImage img = NewStrip(12);
  QPainter p(&img);
  Smooth(p);
  for (int k = 0; k < 4; ++k) {
    const double x0 = k * 38;
    Disc(p, s, QRectF(x0 + 3, 1.5, 31, 31), k % 2 == 1);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    if (k < 2) {
      QPainterPath tri;
      tri.moveTo(x0 + 15, 10);
      tri.lineTo(x0 + 26, 17);
      tri.lineTo(x0 + 15, 24);
      tri.closeSubpath();
      p.drawPath(tri);
    } else {
      p.drawRoundedRect(QRectF(x0 + 13, 10, 4, 14), 1, 1);
      p.drawRoundedRect(QRectF(x0 + 20, 10, 4, 14), 1, 1);
    }
  }
  return img;
}

// A 25 x 24 player button: a glyph drawn by fn in the given colour, with a soft
// round backdrop when hovered.
template <typename Fn>
void SmallButton(QPainter& p, double x0, bool hover, QColor c, Fn fn) {
  if (hover) {
    p.setPen(Qt::NoPen);
    p.setBrush(Alpha(Qt::white, 40));
    p.drawEllipse(QRectF(x0 + 1.5, 1, 22, 22));
  }
  p.setPen(QPen(c, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  fn(x0 + 12.5, 12.0, c);
}

QImage Stop(const Palette& s) {
  QImage img = NewStrip(13);
  QPainter p(&img);
  Smooth(p);
  for (int k = 0; k < 2; ++k)
    SmallButton(p, k * 25, k == 1, k ? Qt::white : s.glyph, [&](double cx, double cy, QColor c) {
      p.setBrush(c);
      p.drawRoundedRect(QRectF(cx - 4.5, cy - 4.5, 9, 9), 1.5, 1.5);
    });
  return img;
}

void Speaker(QPainter& p, double cx, double cy, QColor c, bool muted) {
  QPainterPath body;
  body.moveTo(cx - 7, cy - 2.5);
  body.lineTo(cx - 4, cy - 2.5);
  body.lineTo(cx, cy - 6);
  body.lineTo(cx, cy + 6);
  body.lineTo(cx - 4, cy + 2.5);
  body.lineTo(cx - 7, cy + 2.5);
  body.closeSubpath();
  p.setBrush(c);
  p.drawPath(body);
  p.setBrush(Qt::NoBrush);
  if (muted) {
    p.drawLine(QPointF(cx + 2.5, cy - 3), QPointF(cx + 7.5, cy + 3));
    p.drawLine(QPointF(cx + 7.5, cy - 3), QPointF(cx + 2.5, cy + 3));
  } else {
    p.drawArc(QRectF(cx - 2, cy - 4, 6, 8), -60 * 16, 120 * 16);
    p.drawArc(QRectF(cx - 3, cy - 7, 11, 14), -60 * 16, 120 * 16);
  }
}

QImage Mute(const Palette& s) {
  QImage img = NewStrip(14);
  QPainter p(&img);
  Smooth(p);
  for (int k = 0; k < 4; ++k)
    SmallButton(p, k * 25, k % 2 == 1, k % 2 ? Qt::white : s.glyph,
                [&](double cx, double cy, QColor c) { Speaker(p, cx, cy, c, k >= 2); });
  return img;
}

QImage Volume(const Palette& s) {
  QImage img = NewStrip(15);
  QPainter p(&img);
  Smooth(p);
  p.setPen(Qt::NoPen);
  p.setBrush(Alpha(Qt::white, 60));
  p.drawRoundedRect(QRectF(4, 10.5, 72, 3), 1.5, 1.5);
  QLinearGradient g(4, 0, 44, 0);
  g.setColorAt(0, s.accent.darker(120));
  g.setColorAt(1, s.accentHi);
  p.setBrush(g);
  p.drawRoundedRect(QRectF(4, 10.5, 40, 3), 1.5, 1.5);
  return img;
}

// Strip 16 (normal) and 17 (hover; the shutdown frame means "armed").
QImage Tools(const Palette& s, bool hover, int strip) {
  QImage img = NewStrip(strip);
  QPainter p(&img);
  Smooth(p);
  const QColor c = hover ? Qt::white : s.glyph;
  // Shutdown: a power mark; armed it turns to the accent colour.
  SmallButton(p, 0, hover, hover ? s.accentHi : c, [&](double cx, double cy, QColor) {
    p.drawArc(QRectF(cx - 6, cy - 5.5, 12, 12), 120 * 16, 300 * 16);
    p.drawLine(QPointF(cx, cy - 7), QPointF(cx, cy));
  });
  SmallButton(p, 25, hover, c, [&](double cx, double cy, QColor) {  // open file: a folder
    QPainterPath f;
    f.moveTo(cx - 7, cy + 5);
    f.lineTo(cx - 7, cy - 5);
    f.lineTo(cx - 2, cy - 5);
    f.lineTo(cx, cy - 3);
    f.lineTo(cx + 7, cy - 3);
    f.lineTo(cx + 7, cy + 5);
    f.closeSubpath();
    p.drawPath(f);
  });
  SmallButton(p, 50, hover, c, [&](double cx, double cy, QColor) {  // full screen: four corners
    const double d = 6, e = 3;
    for (int sx : {-1, 1})
      for (int sy : {-1, 1}) {
        p.drawLine(QPointF(cx + sx * d, cy + sy * d), QPointF(cx + sx * (d - e), cy + sy * d));
        p.drawLine(QPointF(cx + sx * d, cy + sy * d), QPointF(cx + sx * d, cy + sy * (d - e)));
      }
  });
  SmallButton(p, 75, hover, c, [&](double cx, double cy, QColor) {  // side bar: a panel
    p.drawRoundedRect(QRectF(cx - 7, cy - 5.5, 14, 11), 1.5, 1.5);
    p.drawLine(QPointF(cx + 2, cy - 5.5), QPointF(cx + 2, cy + 5.5));
  });
  return img;
}

QImage PrevNext(const Palette& s) {
  QImage img = NewStrip(18);
  QPainter p(&img);
  Smooth(p);
  for (int k = 0; k < 4; ++k) {
    const bool next = k >= 2;
    SmallButton(p, k * 25, k % 2 == 1, k % 2 ? Qt::white : s.glyph, [&](double cx, double cy, QColor c) {
      p.setBrush(c);
      const double dir = next ? 1 : -1;
      for (int t = 0; t < 2; ++t) {
        const double bx = cx + dir * (t * 5 - 4);
        QPainterPath tri;
        tri.moveTo(bx, cy - 4.5);
        tri.lineTo(bx + dir * 5, cy);
        tri.lineTo(bx, cy + 4.5);
        tri.closeSubpath();
        p.drawPath(tri);
      }
      p.drawLine(QPointF(cx + dir * 6.5, cy - 4.5), QPointF(cx + dir * 6.5, cy + 4.5));
    });
  }
  return img;
}

QImage Knob(const Palette& s) {
  QImage img = NewStrip(19);
  QPainter p(&img);
  Smooth(p);
  p.setPen(QPen(s.accent, 1.5));
  p.setBrush(Qt::white);
  p.drawEllipse(QRectF(1, 1, 8, 8));
  return img;
}

// The seek bar's thumb, 13 x 7: a white pill with a dark rim, so that it stands out
// on the track, the download band and the played part alike ("thumb", "thumb1").
QImage Thumb(const Palette& s) {
  QImage img(13, 7, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  Smooth(p);
  p.setPen(QPen(s.bottom2, 1));
  p.setBrush(Qt::white);
  p.drawRoundedRect(QRectF(0.5, 0.5, 12, 6), 3, 3);
  p.setPen(Qt::NoPen);
  p.setBrush(s.accent);
  p.drawRect(QRectF(5.5, 2, 2, 3));
  return img;
}

void LogoTile(QPainter& p, const Palette& s, double x0, bool hover) {
  QRectF tile(x0 + 4, 4, 30, 30);
  QLinearGradient g(tile.topLeft(), tile.bottomRight());
  g.setColorAt(0, hover ? s.accentHi.lighter(110) : s.accentHi);
  g.setColorAt(1, s.accent.darker(hover ? 110 : 135));
  p.setPen(QPen(Alpha(Qt::white, hover ? 210 : 120), 1));
  p.setBrush(g);
  p.drawRoundedRect(tile, 8, 8);
  QPainterPath tri;
  tri.moveTo(x0 + 15, 11);
  tri.lineTo(x0 + 27, 19);
  tri.lineTo(x0 + 15, 27);
  tri.closeSubpath();
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  p.drawPath(tri);
  p.setBrush(Alpha(Qt::white, hover ? 255 : 200));
  QPainterPath caret;  // the menu hint
  caret.moveTo(x0 + 36, 17);
  caret.lineTo(x0 + 43, 17);
  caret.lineTo(x0 + 39.5, 21);
  caret.closeSubpath();
  p.drawPath(caret);
}

QImage MenuPicture(const Palette& s) {
  QImage img = NewStrip(20);
  QPainter p(&img);
  Smooth(p);
  LogoTile(p, s, 0, false);
  LogoTile(p, s, 45, true);
  return img;
}

// Drawn on a 64-pixel grid and scaled, so the desktop's icon sizes are sharp too.
QImage Icon(const Palette& s, int size = 64) {
  QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  Smooth(p);
  p.scale(size / 64.0, size / 64.0);
  QLinearGradient g(0, 0, 64, 64);
  g.setColorAt(0, s.accentHi);
  g.setColorAt(1, s.top2);
  p.setPen(Qt::NoPen);
  p.setBrush(g);
  p.drawRoundedRect(QRectF(2, 2, 60, 60), 14, 14);
  QPainterPath tri;
  tri.moveTo(24, 17);
  tri.lineTo(47, 32);
  tri.lineTo(24, 47);
  tri.closeSubpath();
  p.setBrush(Qt::white);
  p.drawPath(tri);
  return img;
}

// The picture on the cover of an idle player: the icon and the product's name, one
// per skin ("adp", "adp1"; the core names them in its palette).
QImage CoverPicture(const Palette& s) {
  QImage img(140, 70, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  Smooth(p);
  p.drawImage(QRectF(4, 11, 48, 48), Icon(s));
  QFont f(QStringLiteral("WenQuanYi Micro Hei"));
  f.setPixelSize(24);
  f.setBold(true);
  p.setFont(f);
  p.setPen(s.coverTitle);
  p.drawText(QRectF(58, 10, 82, 30), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Tavlin"));
  f.setPixelSize(11);
  f.setBold(false);
  p.setFont(f);
  p.setPen(s.coverText);
  p.drawText(QRectF(59, 38, 81, 20), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("高清影视随心看"));
  return img;
}

// The retry picture of the portal's error panel ("jia"): a round arrow, 32 x 32.
QImage RetryPicture() {
  QImage img(32, 32, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  Smooth(p);
  const QColor blue(38, 110, 186);
  p.setPen(QPen(blue, 3.5, Qt::SolidLine, Qt::RoundCap));
  p.drawArc(QRectF(5, 5, 22, 22), 100 * 16, 290 * 16);
  QPainterPath head;
  head.moveTo(17, 1);
  head.lineTo(25, 6.5);
  head.lineTo(16.5, 11);
  head.closeSubpath();
  p.setPen(Qt::NoPen);
  p.setBrush(blue);
  p.drawPath(head);
  return img;
}

QImage Strip(const Palette& s, int i) {
  switch (i) {
    case 0: return Frame(s);
    case 1:
    case 2: {
      QImage img = NewStrip(i);
      WindowButtons(img, s, i == 2);
      return img;
    }
    case 3: return Plate(s);
    case 4: return PanelToggle(s);
    case 5: return Restore(s);
    case 6: return Pin(s);
    case 7: return Tabs(s, true, 7);
    case 8: return Tabs(s, false, 8);
    case 9: return ListTabs(s);
    case 10: return TabBar(s);
    case 11: return Handle(s);
    case 12: return PlayPause(s);
    case 13: return Stop(s);
    case 14: return Mute(s);
    case 15: return Volume(s);
    case 16: return Tools(s, false, 16);
    case 17: return Tools(s, true, 17);
    case 18: return PrevNext(s);
    case 19: return Knob(s);
    default: return MenuPicture(s);
  }
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
    return 2;
  }
  const QDir out(QString::fromLocal8Bit(argv[1]));
  QDir().mkpath(out.path());
  QString qrc = "<RCC>\n  <qresource prefix=\"/skins\">\n";
  auto save = [&](const QImage& img, const QString& name) {
    // Fixed metadata keeps the files identical from build to build.
    QImage copy = img;
    copy.setDotsPerMeterX(3780);
    copy.setDotsPerMeterY(3780);
    if (!copy.save(out.filePath(name), "PNG")) {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(out.filePath(name)));
      std::exit(1);
    }
    qrc += "    <file>" + name + "</file>\n";
  };
  for (int skin = 0; skin < tavlin::shell::kSkinCount; ++skin)
    for (int i = 0; i < tavlin::shell::kStripCount; ++i)
      save(Strip(kSkins[skin], i), QString::number(skin * 100 + i + 101) + ".png");
  save(Icon(kSkins[0]), "icon.png");
  save(CoverPicture(kSkins[0]), "adp.png");
  save(CoverPicture(kSkins[1]), "adp1.png");
  save(RetryPicture(), "jia.png");
  save(Thumb(kSkins[0]), "thumb.png");
  save(Thumb(kSkins[1]), "thumb1.png");
  qrc += "  </qresource>\n</RCC>\n";
  // The desktop's icon theme sizes, installed beside the desktop entry; not compiled in.
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    QImage icon = Icon(kSkins[0], size);
    icon.setDotsPerMeterX(3780);
    icon.setDotsPerMeterY(3780);
    if (!icon.save(out.filePath(QStringLiteral("icon-%1.png").arg(size)), "PNG")) return 1;
  }
  QFile f(out.filePath("skins.qrc"));
  if (!f.open(QIODevice::WriteOnly)) return 1;
  f.write(qrc.toUtf8());
  return 0;
}
