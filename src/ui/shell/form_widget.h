#pragma once
// A core form shown as a frameless top-level widget: one child widget per control,
// mirrored from the control data after every event the core handles. It holds no
// program logic: mouse and size events go to the form's handlers.
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <functional>
#include <map>
#include <optional>

#include "core/forms/form.h"
#include "core/forms/input.h"
#include "platform/screen.h"
#include "ui/shell/skin_strips.h"

namespace tavlin::ui {

// A child widget with this property set true is left where it is by the mirror.
inline constexpr const char* kDetachedProperty = "tavlinDetached";

// Where the form widget sends what the window system reports.
class InputSink {
 public:
  virtual ~InputSink() = default;
  virtual void Raise(const forms::InputEvent& event) = 0;
};

class FormWidget;

// Everything a control's or a form's picture is drawn from, to tell whether a sync
// changed it: a window repainted after every event (the once-a-second poll among
// them) keeps the machine busy while nothing on it changes.
struct PaintedLook {
  int skin = -1;
  forms::ControlKind kind = forms::ControlKind::PictureBox;
  bool enabled = true, wordWrap = false, checked = false;
  int w = 0, h = 0, fontPixels = 0;
  std::string caption, picture;
  forms::Rgb fore;
  std::optional<forms::Rgb> back;
  forms::Frame frame;
  std::vector<forms::Blit> blits;
  bool operator==(const PaintedLook&) const = default;
};
PaintedLook LookOf(const forms::Control& c, int skin);
PaintedLook LookOf(const forms::Form& f, int skin);

class ControlWidget : public QWidget {
 public:
  ControlWidget(FormWidget& form, forms::Control& control, QWidget* parent);
  forms::Control& control() { return control_; }
  // Whether the control no longer looks as it was last painted.
  bool Stale() const;

 protected:
  void paintEvent(QPaintEvent*) override;
  void mouseMoveEvent(QMouseEvent*) override;
  void mousePressEvent(QMouseEvent*) override;
  void mouseReleaseEvent(QMouseEvent*) override;
  void mouseDoubleClickEvent(QMouseEvent*) override;
  void leaveEvent(QEvent*) override;
  void wheelEvent(QWheelEvent*) override;

 private:
  void Raise(forms::InputEvent::Kind kind, int button, const QPointF& at);
  FormWidget& form_;
  forms::Control& control_;
  int wheelRest_ = 0;                   // eighths of a degree not yet a whole notch (fine-grained wheels)
  std::optional<PaintedLook> painted_;  // none: unknown, paint it anew
};

class FormWidget : public QWidget, public WindowHost {
 public:
  explicit FormWidget(const SkinStrips& strips);

  // Mirrors the form after every event the core has handled.
  void Sync();
  QWidget* WidgetFor(const std::string& name, std::optional<int> index = std::nullopt) const;
  // Web views and the player live in these widgets; the form creates plain ones
  // for every other control.
  // Events go to sink from then on.
  using ChildFactory = std::function<QWidget*(forms::Control&, QWidget* parent)>;
  void Build(forms::Form& form, InputSink& sink, const ChildFactory& factory);
  const SkinStrips& strips() const { return strips_; }
  void Raise(const forms::InputEvent& event);
  bool manualMoveResize() const { return manualHit_ != 0; }
  // A press on the window or one of its controls: where a move by hand starts.
  void NotePress(const QMouseEvent& e);
  // Moves or resizes the window with the pointer where no window manager took the
  // move; false when none is going on.
  bool FollowManualMove(const QPoint& global);
  void EndMoveResize();
  // The form places the window itself (its x and y are mirrored), as the floating ad does.
  void SetPlacedByForm(bool on) { placed_ = on; }
  // Kept hidden whatever the form says (the ad while a film is full screen); shown
  // again as the form has it when let go.
  void HoldBack(bool on);

  // WindowHost
  void SetGeometry(int x, int y, int w, int h) override;
  void SetSize(int w, int h) override;
  void ShowNormal() override;
  void ShowMinimized() override;
  void ShowMaximized() override;
  void SetVisible(bool visible) override;
  void BringToFront() override;
  void SetTopmost(bool on) override;
  void SetCursor(int shape) override;
  void StartSystemMoveResize(int hitCode) override;
  void SetSizeLimits(int minW, int minH, int maxW, int maxH) override;
  void SetShape(const std::vector<PixelRect>& rects) override;

 protected:
  void paintEvent(QPaintEvent*) override;
  void resizeEvent(QResizeEvent*) override;
  void changeEvent(QEvent*) override;
  void mousePressEvent(QMouseEvent*) override;
  void mouseMoveEvent(QMouseEvent*) override;
  void mouseReleaseEvent(QMouseEvent*) override;
  void mouseDoubleClickEvent(QMouseEvent*) override;
  void enterEvent(QEnterEvent*) override;
  void closeEvent(QCloseEvent*) override;

 private:
  void ShowOrHide(bool visible);
  void CentreOverOwner();
  forms::Form* form_ = nullptr;
  InputSink* sink_ = nullptr;
  const SkinStrips& strips_;
  std::vector<std::pair<forms::Control*, QPointer<QWidget>>> widgets_;
  bool syncing_ = false;
  bool placed_ = false;
  bool heldBack_ = false;
  // Where the window was when it was hidden: a window manager would place it anew.
  std::optional<QPoint> hiddenAt_;
  std::optional<PixelRect> shownRegion_;
  std::optional<PaintedLook> painted_;
  bool systemMoveResize_ = false;
  int manualHit_ = 0;
  // The normal geometry while the window is maximised by hand (no window manager).
  std::optional<QRect> handNormal_;
  QPoint pressGlobal_;
  QRect pressGeometry_;
};

// Paints a picture box or label from its control data.
void PaintControl(QPainter& p, const forms::Control& c, const SkinStrips& strips);
int MouseButtonCode(Qt::MouseButtons buttons);
// The virtual-key code of a Qt key, 0 for keys the program does not handle.
int VirtualKey(int key);
QColor ToQColor(const forms::Rgb& c);

}  // namespace tavlin::ui
