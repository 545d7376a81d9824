#include "ui/shell/form_widget.h"

#include "core/forms/keys.h"
#include "ui/shell/text_metrics.h"

#include <algorithm>
#include <map>

#include <QCloseEvent>
#include <QLineEdit>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <QScreen>
#include <QTimer>
#include <QWheelEvent>
#include <QWindow>

namespace tavlin::ui {

QColor ToQColor(const forms::Rgb& c) { return QColor(c.r, c.g, c.b); }

int MouseButtonCode(Qt::MouseButtons buttons) {
  int code = 0;
  if (buttons & Qt::LeftButton) code |= 1;
  if (buttons & Qt::RightButton) code |= 2;
  if (buttons & Qt::MiddleButton) code |= 4;
  return code;
}

namespace {

Qt::CursorShape CursorFor(int shape) {
  switch (shape) {
    case 6: return Qt::SizeBDiagCursor;
    case 7: return Qt::SizeVerCursor;
    case 8: return Qt::SizeFDiagCursor;
    case 9: return Qt::SizeHorCursor;
    default: return Qt::ArrowCursor;
  }
}

Qt::Edges EdgesFor(int hit) {
  switch (hit) {
    case kHitLeft: return Qt::LeftEdge;
    case kHitRight: return Qt::RightEdge;
    case kHitTop: return Qt::TopEdge;
    case kHitBottom: return Qt::BottomEdge;
    case kHitTopLeft: return Qt::TopEdge | Qt::LeftEdge;
    case kHitTopRight: return Qt::TopEdge | Qt::RightEdge;
    case kHitBottomLeft: return Qt::BottomEdge | Qt::LeftEdge;
    case kHitBottomRight: return Qt::BottomEdge | Qt::RightEdge;
    default: return {};
  }
}

}  // namespace

int VirtualKey(int key) {
  using namespace forms;
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return kKeyA + (key - Qt::Key_A);
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return kKey0 + (key - Qt::Key_0);
  if (key >= Qt::Key_F1 && key <= Qt::Key_F12) return kKeyF1 + (key - Qt::Key_F1);
  switch (key) {
    case Qt::Key_Left: return kKeyLeft;
    case Qt::Key_Up: return kKeyUp;
    case Qt::Key_Right: return kKeyRight;
    case Qt::Key_Down: return kKeyDown;
    case Qt::Key_Space: return kKeySpace;
    case Qt::Key_Return:
    case Qt::Key_Enter: return kKeyReturn;
    case Qt::Key_Escape: return kKeyEscape;
    default: return 0;
  }
}


void PaintControl(QPainter& p, const forms::Control& c, const SkinStrips& strips) {
  if (c.back) p.fillRect(0, 0, c.w, c.h, ToQColor(*c.back));
  if (!c.picture.empty()) {
    static std::map<std::string, QPixmap> pictures;
    auto it = pictures.find(c.picture);
    if (it == pictures.end())
      it = pictures.emplace(c.picture, QPixmap(QString::fromStdString(":/skins/" + c.picture + ".png"))).first;
    if (!it->second.isNull()) p.drawPixmap(0, 0, it->second);
  }
  if (strips.valid(c.frame.strip)) {
    const int w = c.frame.w > 0 ? std::min(c.frame.w, c.w) : c.w;
    const int h = c.frame.h > 0 ? std::min(c.frame.h, c.h) : c.h;
    p.drawPixmap(0, 0, strips[c.frame.strip], c.frame.x, c.frame.y, w, h);
  }
  for (const auto& b : c.blits) {
    if (!strips.valid(b.strip)) continue;
    p.drawPixmap(QRect(b.dx, b.dy, b.dw, b.dh), strips[b.strip], QRect(b.sx, b.sy, b.sw, b.sh));
  }
  if (c.kind == forms::ControlKind::Line) {
    p.setPen(ToQColor(c.fore));
    p.drawLine(0, 0, c.w, 0);
  }
  const QString caption = QString::fromStdString(c.caption);
  switch (c.kind) {
    case forms::ControlKind::Button: {
      p.fillRect(0, 0, c.w, c.h, QColor(225, 225, 225));
      p.setPen(QColor(120, 120, 120));
      p.drawRect(0, 0, c.w - 1, c.h - 1);
      p.setFont(ControlFont(c.fontPixels));
      p.setPen(c.enabled ? QColor(0, 0, 0) : QColor(150, 150, 150));
      // "(&A)": the letter after the ampersand is the button's access key.
      p.drawText(QRect(0, 0, c.w, c.h), Qt::AlignCenter | Qt::TextShowMnemonic, caption);
      return;
    }
    case forms::ControlKind::CheckBox: {
      const int box = 13, top = (c.h - box) / 2;
      p.fillRect(0, top, box, box, Qt::white);
      p.setPen(QColor(100, 100, 100));
      p.drawRect(0, top, box - 1, box - 1);
      if (c.checked) {
        p.setPen(QPen(QColor(0, 0, 0), 2));
        p.drawPolyline(QPolygon({QPoint(3, top + 6), QPoint(5, top + 9), QPoint(10, top + 3)}));
      }
      p.setFont(ControlFont(c.fontPixels));
      p.setPen(ToQColor(c.fore));
      p.drawText(QRect(box + 5, 0, c.w - box - 5, c.h), Qt::AlignLeft | Qt::AlignVCenter, caption);
      return;
    }
    case forms::ControlKind::Frame: {
      p.setPen(QColor(160, 160, 160));
      p.drawRect(0, 7, c.w - 1, c.h - 8);
      p.setFont(ControlFont(c.fontPixels));
      const int textW = QFontMetrics(p.font()).horizontalAdvance(caption) + 6;
      p.fillRect(8, 0, textW, 14, c.back ? ToQColor(*c.back) : QColor(240, 240, 240));
      p.setPen(ToQColor(c.fore));
      p.drawText(QRect(11, 0, textW, 14), Qt::AlignLeft | Qt::AlignVCenter, caption);
      return;
    }
    default: break;
  }
  if (c.kind == forms::ControlKind::Label && !c.caption.empty()) {
    p.setFont(ControlFont(c.fontPixels));
    p.setPen(ToQColor(c.fore));
    const int flags = Qt::AlignLeft | Qt::AlignTop | (c.wordWrap ? Qt::TextWordWrap : 0);
    // The model keeps line breaks as CR LF; Qt breaks lines at LF alone.
    QString text = caption;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    // A one-line text cut by its label says so.
    if (!c.wordWrap && !text.contains(u'\n')) text = p.fontMetrics().elidedText(text, Qt::ElideRight, c.w);
    p.drawText(QRect(0, 0, c.w, c.h), flags, text);
  }
}

ControlWidget::ControlWidget(FormWidget& form, forms::Control& control, QWidget* parent)
    : QWidget(parent), form_(form), control_(control) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent, false);
}

PaintedLook LookOf(const forms::Control& c, int skin) {
  return {skin,         c.kind,    c.enabled, c.wordWrap, c.checked, c.w,     c.h,
          c.fontPixels, c.caption, c.picture, c.fore,     c.back,    c.frame, c.blits};
}

PaintedLook LookOf(const forms::Form& f, int skin) {
  PaintedLook look;
  look.skin = skin;
  look.back = f.backColor;
  look.blits = f.background;
  return look;
}

namespace {
// What a paint event leaves on screen: the look when it covered the whole widget; an
// unknown one when it drew part of it in a look other than the one remembered.
std::optional<PaintedLook> AfterPaint(const QPaintEvent& e, const QWidget& w, PaintedLook now,
                                      const std::optional<PaintedLook>& before) {
  if (e.region().contains(w.rect()) || before == now) return now;
  return std::nullopt;
}
}  // namespace

bool ControlWidget::Stale() const { return painted_ != LookOf(control_, form_.strips().skin()); }

void ControlWidget::paintEvent(QPaintEvent* e) {
  QPainter p(this);
  PaintControl(p, control_, form_.strips());
  painted_ = AfterPaint(*e, *this, LookOf(control_, form_.strips().skin()), painted_);
}

void ControlWidget::Raise(forms::InputEvent::Kind kind, int button, const QPointF& at) {
  const QPoint pos = at.toPoint();
  form_.Raise(forms::InputEvent::OnControl(kind, control_.key, button, pos.x(), pos.y()));
}

void ControlWidget::mouseMoveEvent(QMouseEvent* e) {
  // A move of the window begun on this control that no window manager took.
  if (form_.FollowManualMove(e->globalPosition().toPoint())) return;
  Raise(forms::InputEvent::MouseMove, MouseButtonCode(e->buttons()), e->position());
}

void ControlWidget::mousePressEvent(QMouseEvent* e) {
  e->accept();
  form_.NotePress(*e);
  if (control_.enabled) Raise(forms::InputEvent::MouseDown, MouseButtonCode(e->button()), e->position());
}

void ControlWidget::mouseReleaseEvent(QMouseEvent* e) {
  e->accept();
  if (control_.enabled) Raise(forms::InputEvent::MouseUp, MouseButtonCode(e->button()), e->position());
  form_.EndMoveResize();
  if (e->button() != Qt::LeftButton || !rect().contains(e->position().toPoint())) return;
  if (!control_.enabled) return;
  form_.Raise(forms::InputEvent::OnControl(forms::InputEvent::Click, control_.key, forms::kLeftButton));
}

void ControlWidget::mouseDoubleClickEvent(QMouseEvent* e) {
  e->accept();
  form_.Raise(forms::InputEvent::OnControl(forms::InputEvent::DblClick, control_.key, MouseButtonCode(e->button())));
}

void ControlWidget::wheelEvent(QWheelEvent* e) {
  e->accept();
  wheelRest_ += e->angleDelta().y();
  const int notches = wheelRest_ / QWheelEvent::DefaultDeltasPerStep;
  wheelRest_ -= notches * QWheelEvent::DefaultDeltasPerStep;
  if (notches != 0) form_.Raise(forms::InputEvent::WheelOn(control_.key, notches));
}

void ControlWidget::leaveEvent(QEvent*) {
  // The program kept the mouse captured on a hovered button so that the first move
  // outside reached it; leaving the widget is that move.
  form_.Raise(forms::InputEvent::OnControl(forms::InputEvent::Leave, control_.key));
}

FormWidget::FormWidget(const SkinStrips& strips) : strips_(strips) {
  setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowMinMaxButtonsHint);
  // A player window is often looked at while another one has the focus.
  setAttribute(Qt::WA_AlwaysShowToolTips);
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
}

void FormWidget::Build(forms::Form& form, InputSink& sink, const ChildFactory& factory) {
  form_ = &form;
  sink_ = &sink;
  resize(form.window.w, form.window.h);
  for (const auto& c : form.controls()) {
    QWidget* parent = this;
    if (c->parent) parent = WidgetFor(c->parent->name, c->parent->index);
    QWidget* w = factory ? factory(*c, parent) : nullptr;
    if (!w && c->kind == forms::ControlKind::TextBox) {
      // The box's text is the control's caption, and the user edits it.
      auto* edit = new QLineEdit(parent);
      forms::Control* control = c.get();
      QObject::connect(edit, &QLineEdit::textEdited, edit,
                       [control](const QString& text) { control->caption = text.toStdString(); });
      w = edit;
    }
    if (!w) w = new ControlWidget(*this, *c, parent);
    w->setObjectName(QString::fromStdString(c->key.name + (c->key.index ? "_" + std::to_string(*c->key.index) : "")));
    widgets_.emplace_back(c.get(), w);
  }
  Sync();
}

QWidget* FormWidget::WidgetFor(const std::string& name, std::optional<int> index) const {
  for (const auto& [c, w] : widgets_)
    if (c->key.name == name && c->key.index == index) return w.data();
  return nullptr;
}

void FormWidget::Raise(const forms::InputEvent& event) {
  if (sink_) sink_->Raise(event);
}

void FormWidget::Sync() {
  if (syncing_ || !form_) return;
  syncing_ = true;
  for (const auto& [c, w] : widgets_) {
    // A widget taken out of its place (the player's picture in full screen) is its
    // own master until it comes back.
    if (!w || w->property(kDetachedProperty).toBool()) continue;
    const QRect g(c->x, c->y, std::max(c->w, 0), std::max(c->h, 0));
    if (w->geometry() != g) w->setGeometry(g);
    if (w->isHidden() == c->visible) w->setVisible(c->visible);
    // Only what looks different is drawn again.
    if (auto* cw = dynamic_cast<ControlWidget*>(w.data()); cw && c->visible && cw->Stale()) w->update();
    // Where the form draws a tooltip itself (p1), Qt's would double it.
    const QString tip = c->ownTooltip ? QString() : QString::fromStdString(c->tooltip);
    if (w->toolTip() != tip) w->setToolTip(tip);
    if (c->hand != (w->cursor().shape() == Qt::PointingHandCursor)) {
      if (c->hand) w->setCursor(Qt::PointingHandCursor);
      else w->unsetCursor();
    }
    if (auto* edit = qobject_cast<QLineEdit*>(w.data()); edit && edit->text().toStdString() != c->caption)
      edit->setText(QString::fromStdString(c->caption));
  }
  const auto& win = form_->window;
  if (win.region != shownRegion_) {
    shownRegion_ = win.region;
    if (win.region) setMask(QRegion(win.region->x, win.region->y, win.region->w, win.region->h));
    else clearMask();
    // What the mask uncovers is drawn anew: a page painted while it was hidden would
    // otherwise keep its blank.
    for (QWidget* child : findChildren<QWidget*>()) child->update();
  }
  if (placed_ && pos() != QPoint(win.x, win.y)) move(win.x, win.y);
  // A form without a minimum of its own (a dialog, the ad) keeps its fixed size.
  const bool ownMinimum = win.minW > 0 || win.minH > 0;
  if (ownMinimum && (minimumWidth() != win.minW || minimumHeight() != win.minH)) setMinimumSize(win.minW, win.minH);
  const bool shown = win.visible && !heldBack_;
  if (isVisible() != shown && !isMinimized()) {
    // A window of the program's opens over the main window, and takes the focus
    // unless it places itself (the ad).
    const bool owned = shown && !placed_ && parentWidget();
    if (owned) CentreOverOwner();
    ShowOrHide(shown);
    if (owned) {
      raise();
      activateWindow();
    }
  }
  if (painted_ != LookOf(*form_, strips_.skin())) update();
  syncing_ = false;
}

void FormWidget::paintEvent(QPaintEvent* e) {
  QPainter p(this);
  if (!form_) return;
  painted_ = AfterPaint(*e, *this, LookOf(*form_, strips_.skin()), painted_);
  p.fillRect(rect(), ToQColor(form_->backColor));
  for (const auto& b : form_->background) {
    if (!strips_.valid(b.strip)) continue;
    p.drawPixmap(QRect(b.dx, b.dy, b.dw, b.dh), strips_[b.strip], QRect(b.sx, b.sy, b.sw, b.sh));
  }
}

void FormWidget::resizeEvent(QResizeEvent*) {
  if (syncing_) return;
  forms::InputEvent e = forms::InputEvent::OnForm(forms::InputEvent::Resized, 0, width(), height());
  Raise(e);
}

void FormWidget::changeEvent(QEvent* e) {
  QWidget::changeEvent(e);
  if (e->type() != QEvent::WindowStateChange) return;
  forms::WindowState s = forms::WindowState::Normal;
  if (windowState() & Qt::WindowMinimized) s = forms::WindowState::Minimized;
  else if (windowState() & Qt::WindowMaximized) s = forms::WindowState::Maximized;
  forms::InputEvent event = forms::InputEvent::OnForm(forms::InputEvent::StateChanged);
  event.state = s;
  Raise(event);
}

void FormWidget::NotePress(const QMouseEvent& e) {
  // A press means the window system has given the pointer back: its move is over.
  if (systemMoveResize_) EndMoveResize();
  if (e.button() == Qt::LeftButton) {
    pressGlobal_ = e.globalPosition().toPoint();
    pressGeometry_ = geometry();
  }
}

bool FormWidget::FollowManualMove(const QPoint& global) {
  if (manualHit_ == 0) return false;
  // No window manager took the move or resize: follow the pointer ourselves.
  const QPoint d = global - pressGlobal_;
  QRect g = pressGeometry_;
  if (manualHit_ == kHitCaption) {
    g.moveTopLeft(g.topLeft() + d);
  } else {
    const Qt::Edges edges = EdgesFor(manualHit_);
    if (edges & Qt::LeftEdge) g.setLeft(g.left() + d.x());
    if (edges & Qt::RightEdge) g.setRight(g.right() + d.x());
    if (edges & Qt::TopEdge) g.setTop(g.top() + d.y());
    if (edges & Qt::BottomEdge) g.setBottom(g.bottom() + d.y());
  }
  setGeometry(g);
  return true;
}

void FormWidget::mousePressEvent(QMouseEvent* e) {
  NotePress(*e);
  const QPoint pos = e->position().toPoint();
  Raise(forms::InputEvent::OnForm(forms::InputEvent::MouseDown, MouseButtonCode(e->button()), pos.x(), pos.y()));
}

void FormWidget::mouseMoveEvent(QMouseEvent* e) {
  if (FollowManualMove(e->globalPosition().toPoint())) return;
  if (systemMoveResize_ && e->buttons() == Qt::NoButton) EndMoveResize();
  const QPoint pos = e->position().toPoint();
  Raise(forms::InputEvent::OnForm(forms::InputEvent::MouseMove, MouseButtonCode(e->buttons()), pos.x(), pos.y()));
}

void FormWidget::mouseReleaseEvent(QMouseEvent* e) {
  const QPoint pos = e->position().toPoint();
  Raise(forms::InputEvent::OnForm(forms::InputEvent::MouseUp, MouseButtonCode(e->button()), pos.x(), pos.y()));
  EndMoveResize();
}

void FormWidget::mouseDoubleClickEvent(QMouseEvent*) { Raise(forms::InputEvent::OnForm(forms::InputEvent::DblClick)); }

void FormWidget::enterEvent(QEnterEvent*) {
  if (systemMoveResize_ && QGuiApplication::mouseButtons() == Qt::NoButton) EndMoveResize();
}

void FormWidget::EndMoveResize() {
  if (!systemMoveResize_ && manualHit_ == 0) return;
  systemMoveResize_ = false;
  manualHit_ = 0;
  Raise(forms::InputEvent::OnForm(forms::InputEvent::MoveResizeEnded));
}

void FormWidget::closeEvent(QCloseEvent* e) {
  e->ignore();
  Raise(forms::InputEvent::OnForm(forms::InputEvent::CloseRequested));
}

void FormWidget::SetGeometry(int x, int y, int w, int h) {
  handNormal_.reset();  // the program has placed the window itself
  setGeometry(x, y, w, h);
}

void FormWidget::SetSize(int w, int h) {
  handNormal_.reset();
  syncing_ = true;  // the core has laid out this size already
  // Compact mode goes below the normal minimum: let the new size through first.
  setMinimumSize(std::min(minimumWidth(), w), std::min(minimumHeight(), h));
  resize(w, h);
  syncing_ = false;
}

void FormWidget::ShowNormal() {
  showNormal();
  // Nobody but us maximised the window, so nobody else puts it back.
  if (handNormal_) {
    const QRect normal = *handNormal_;
    handNormal_.reset();
    setGeometry(normal);
  }
}

void FormWidget::ShowMinimized() { showMinimized(); }

void FormWidget::ShowMaximized() {
  const QRect normal = geometry();
  showMaximized();
  // Without a window manager nothing acts on the maximise request: fill the work
  // area from the screen's corner, as the program's own size limits did.
  QTimer::singleShot(150, this, [this, normal] {
    QWindow* native = windowHandle();
    if (!(windowState() & Qt::WindowMaximized) || !screen() || !native) return;
    const QRect work = screen()->availableGeometry();
    if (size() == work.size()) return;
    handNormal_ = normal;
    // Through the native window: QWidget::setGeometry would quietly drop the
    // widget's maximised state while the native window keeps it, and the two
    // disagree from then on.
    native->setGeometry(0, 0, work.width(), work.height());
  });
}

void FormWidget::SetVisible(bool visible) { ShowOrHide(visible && !heldBack_); }

void FormWidget::ShowOrHide(bool visible) {
  if (visible == isVisible()) return;
  // Shown again, a main window that does not say where it goes is placed anew by
  // the window manager (openbox and xfwm4 put it in a corner): it says so. Owned
  // windows open over their owner instead, and the ad places itself.
  const bool placedHere = !parentWidget() && !placed_ &&
                          !(windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized));
  if (!visible && placedHere) hiddenAt_ = pos();
  if (visible && hiddenAt_ && placedHere) move(*hiddenAt_);
  if (visible) hiddenAt_.reset();
  setVisible(visible);
}

void FormWidget::HoldBack(bool on) {
  if (heldBack_ == on) return;
  heldBack_ = on;
  if (on) ShowOrHide(false);
  Sync();
}

void FormWidget::CentreOverOwner() {
  const QWidget* owner = parentWidget()->window();
  QRect target(QPoint(), frameGeometry().size());
  target.moveCenter(owner->frameGeometry().center());
  // Never under a panel or off the screen the owner is on.
  if (const QScreen* where = owner->screen()) {
    const QRect work = where->availableGeometry();
    target.moveLeft(std::clamp(target.left(), work.left(), std::max(work.left(), work.right() - target.width() + 1)));
    target.moveTop(std::clamp(target.top(), work.top(), std::max(work.top(), work.bottom() - target.height() + 1)));
  }
  move(target.topLeft());
}

void FormWidget::BringToFront() {
  raise();
  activateWindow();
}

void FormWidget::SetTopmost(bool on) {
  Qt::WindowFlags flags = windowFlags();
  if (flags.testFlag(Qt::WindowStaysOnTopHint) == on) return;
  flags.setFlag(Qt::WindowStaysOnTopHint, on);
  QWindow* native = windowHandle();
  if (!native) {
    setWindowFlags(flags);  // nothing shown yet: the flags go with the first show
    return;
  }
  // QWidget::setWindowFlags would destroy and re-create the native window: a
  // flicker, a new window for the window manager, and the window state Qt saved
  // put back. The native window takes the flag as it is (on X11 as
  // _NET_WM_STATE_ABOVE), and the widget is told without telling anyone else.
  overrideWindowFlags(flags);
  native->setFlags(flags);
}

void FormWidget::SetCursor(int shape) { setCursor(CursorFor(shape)); }

void FormWidget::StartSystemMoveResize(int hitCode) {
  // The window system has the pointer until the button is released. Moves that
  // still reach us meanwhile must not hand it over again: a window manager starts a
  // second move that outlives the release and carries the window off on the next
  // click.
  if (systemMoveResize_ || manualHit_ != 0) return;
  QWindow* w = windowHandle();
  bool started = false;
  if (w) started = hitCode == kHitCaption ? w->startSystemMove() : w->startSystemResize(EdgesFor(hitCode));
  if (started) {
    systemMoveResize_ = true;
  } else if (QGuiApplication::mouseButtons() & Qt::LeftButton) {
    manualHit_ = hitCode;
  }
}

void FormWidget::SetSizeLimits(int minW, int minH, int maxW, int maxH) {
  (void)minW, (void)minH;  // the layout's own minimums apply (Sync)
  if (maxW > 0 && maxH > 0) setMaximumSize(maxW, maxH);
}

void FormWidget::SetShape(const std::vector<PixelRect>& rects) {
  QRegion region;
  for (const auto& r : rects) region += QRect(r.x, r.y, r.w, r.h);
  if (region.isEmpty()) clearMask();
  else setMask(region);
}

}  // namespace tavlin::ui
