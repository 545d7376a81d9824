#pragma once
// The picture of the stand-in: mpv's render API drawing into a QOpenGLWidget.
#include <QOpenGLWidget>

struct mpv_handle;
struct mpv_render_context;

namespace tavlin {

class MpvVideoWidget : public QOpenGLWidget {
  Q_OBJECT

 public:
  explicit MpvVideoWidget(mpv_handle* mpv, QWidget* parent = nullptr);
  ~MpvVideoWidget() override;

  // Must run before mpv itself is destroyed.
  void ReleaseRenderContext();
  // mpv is gone: the widget may outlive it (owned by its window) but never renders again.
  void DetachFromMpv() {
    ReleaseRenderContext();
    mpv_ = nullptr;
  }
  bool HasRenderContext() const { return render_ != nullptr; }
  // Frames handed to the screen (not those skipped while hidden).
  qint64 FramesDrawn() const { return frames_drawn_; }

 signals:
  // The render context exists (again): video that could not start before may now.
  void RenderContextReady();
  // Qt replaced or dropped the GL context: mpv lost its renderer.
  void RenderContextLost();
  void FirstFrameDrawn();

 protected:
  void initializeGL() override;
  void paintGL() override;

 private:
  void OnMpvUpdate();
  static void OnMpvUpdateCallback(void* self);

  mpv_handle* mpv_;
  mpv_render_context* render_ = nullptr;
  qint64 frames_drawn_ = 0;
};

}  // namespace tavlin
