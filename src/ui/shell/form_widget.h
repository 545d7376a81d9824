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
#include "platform/screen.h"
#include "ui/shell/skin_strips.h"

namespace tavlin::ui {

// What the form widget reports to the core.
struct FormEvents {
  using ControlMouse = std::function<void(const forms::ControlKey&, int button, int x, int y)>;
  std::function<void(int button, int x, int y)> mouseDown, mouseMove, mouseUp;
  std::function<void()> dblClick;
  std::function<void()> moveResizeEnded;
  std::function<void(int w, int h)> resized;
  std::function<void(forms::WindowState)> stateChanged;
  std::function<void(const forms::ControlKey&)> controlClick;
  std::function<void(const forms::ControlKey&)> controlDblClick;
  ControlMouse controlMouseMove, controlMouseDown, controlMouseUp;
  std::function<void(const forms::ControlKey&)> controlLeave;
  std::function<void(int vk)> keyDown;
  std::function<void()> closeRequested;
};

class FormWidget;

class ControlWidget : public QWidget {
 public:
  ControlWidget(FormWidget& form, forms::Control& control, QWidget* parent);
  forms::Control& control() { return control_; }

 protected:
  void paintEvent(QPaintEvent*) override;
  void mouseMoveEvent(QMouseEvent*) override;
  void mousePressEvent(QMouseEvent*) override;
  void mouseReleaseEvent(QMouseEvent*) override;
  void mouseDoubleClickEvent(QMouseEvent*) override;
  void leaveEvent(QEvent*) override;

 private:
  // Reports a mouse event on this control through one of the form's events.
  void Raise(FormEvents::ControlMouse FormEvents::*event, int button, const QPointF& at);
  FormWidget& form_;
  forms::Control& control_;
};

class FormWidget : public QWidget, public WindowHost {
 public:
  FormWidget(forms::Form& form, const SkinStrips& strips);

  FormEvents events;
  // Runs a core handler, then mirrors the form.
  void Dispatch(const std::function<void()>& fn);
  void Sync();
  QWidget* WidgetFor(const std::string& name, std::optional<int> index = std::nullopt) const;
  // Web views and the player live in these widgets; the form creates plain ones
  // for every other control.
  using ChildFactory = std::function<QWidget*(forms::Control&, QWidget* parent)>;
  void Build(const ChildFactory& factory);
  const SkinStrips& strips() const { return strips_; }
  forms::Form& form() { return form_; }
  bool manualMoveResize() const { return manualHit_ != 0; }

  // WindowHost
  void SetGeometry(int x, int y, int w, int h) override;
  void SetSize(int w, int h) override;
  void ShowNormal() override;
  void ShowMinimized() override;
  void ShowMaximized() override;
  void SetVisible(bool visible) override;
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
  void keyPressEvent(QKeyEvent*) override;
  void closeEvent(QCloseEvent*) override;

 private:
  void EndMoveResize();
  forms::Form& form_;
  const SkinStrips& strips_;
  std::vector<std::pair<forms::Control*, QPointer<QWidget>>> widgets_;
  bool syncing_ = false;
  bool systemMoveResize_ = false;
  int manualHit_ = 0;
  QPoint pressGlobal_;
  QRect pressGeometry_;
};

// Paints a picture box or label from its control data.
void PaintControl(QPainter& p, const forms::Control& c, const SkinStrips& strips);
int MouseButtonCode(Qt::MouseButtons buttons);
QColor ToQColor(const forms::Rgb& c);

}  // namespace tavlin::ui
