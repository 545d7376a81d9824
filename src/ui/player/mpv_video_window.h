#pragma once
// The picture of the stand-in: mpv's render API drawing straight into a native GL
// window (embedded by the surface). A QOpenGLWidget would cost two more full-frame
// copies per frame (its FBO, then the window composition): on a software GL that
// more than doubled the CPU time of playback.
//
// It draws on a thread of its own. mpv's core waits for the renderer at times (the
// first frame of every item); drawing on the GUI thread, which also reads mpv's
// properties synchronously, stalled both until libmpv's 200 ms time-out.
#include <QWindow>
#include <atomic>
#include <functional>

struct mpv_handle;
class QOffscreenSurface;
class QThread;

namespace tavlin {

class MpvRenderer;

class MpvVideoWindow : public QWindow {
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
  bool HasRenderContext() const { return shared_.has_renderer; }
  // The GL draws on the CPU (no graphics driver): every pass over the picture counts.
  bool SoftwareGl() const { return shared_.software_gl; }
  // Video frames handed to the screen (not redraws, nor frames skipped while hidden).
  qint64 FramesDrawn() const { return shared_.frames_drawn; }

  // What the render thread reads of the window, or counts for it.
  struct Shared {
    std::atomic<bool> exposed{false};
    std::atomic<int> width{0};  // device pixels
    std::atomic<int> height{0};
    std::atomic<bool> has_renderer{false};
    std::atomic<bool> software_gl{false};
    std::atomic<qint64> frames_drawn{0};
  };

 signals:
  // The window went away, or mpv is about to: mpv lost its renderer.
  void RenderContextLost();
  void FirstFrameDrawn();
  // The picture's size in device pixels changed.
  void PictureSizeChanged(int width, int height);

 protected:
  void exposeEvent(QExposeEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool event(QEvent* event) override;

 private:
  // Takes the window's size and exposure for the render thread, and redraws.
  void NoteGeometry();
  // Runs `work` on the render thread (or here, without one); `wait` until it is done.
  void OnRenderThread(const std::function<void(MpvRenderer*)>& work, bool wait);

  mpv_handle* mpv_;
  Shared shared_;
  QOffscreenSurface* offscreen_;  // where the renderer is current while not drawing
  MpvRenderer* renderer_ = nullptr;  // null when GL or mpv's renderer failed
  QThread* thread_ = nullptr;  // null: drawing on the GUI thread (no threaded GL here)
};

}  // namespace tavlin
