#pragma once
// The picture of the stand-in: mpv's render API drawing straight into a native GL
// window (embedded by the surface). A QOpenGLWidget would cost two more full-frame
// copies per frame (its FBO, then the window composition): on a software GL that
// more than doubled the CPU time of playback.
#include <QOpenGLWindow>

struct mpv_handle;
struct mpv_render_context;

namespace tavlin {

class MpvVideoWindow : public QOpenGLWindow {
  Q_OBJECT

 public:
  explicit MpvVideoWindow(mpv_handle* mpv);
  ~MpvVideoWindow() override;

  // Must run before mpv itself is destroyed.
  void ReleaseRenderContext();
  // mpv is gone: the widget may outlive it (owned by its window) but never renders again.
  void DetachFromMpv() {
    ReleaseRenderContext();
    mpv_ = nullptr;
  }
  bool HasRenderContext() const { return render_ != nullptr; }
  // The GL draws on the CPU (no graphics driver): every pass over the picture counts.
  bool SoftwareGl() const { return software_gl_; }
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
  bool software_gl_ = false;
};

}  // namespace tavlin
