#pragma once
// The picture of the stand-in: mpv's render API drawing straight into a native GL
// window (embedded by the surface). A QOpenGLWidget would cost two more full-frame
// copies per frame (its FBO, then the window composition): on a software GL that
// more than doubled the CPU time of playback.
//
// It draws on a thread of its own. mpv's core waits for the renderer at times (the
// first frame of every item); drawing on the GUI thread, which also reads mpv's
// properties synchronously, stalled both until libmpv's 200 ms time-out.
//
// The native surface belongs to the GUI thread, which hides, shows, re-parents and
// resizes it (on Wayland a hide destroys it). The render thread draws into it only
// while it holds the surface gate and the GUI thread has marked it drawable; before
// any change to the surface the GUI thread shuts the gate and waits until the render
// thread has left the surface (on X11 it stays current between frames, elsewhere it
// leaves before letting go of the gate). So a draw never meets a surface being changed.
#include <QTimer>
#include <QWindow>
#include <atomic>
#include <functional>
#include <mutex>

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
  // True while the render thread may draw into the native surface.
  bool Drawable() const { return shared_.drawable; }

  // Runs `change` (a resize of the surface, say) with drawing shut out; drawing
  // resumes with the next exposure or the check that follows.
  void ChangeSurface(const std::function<void()>& change);

  // What the render thread reads of the window, or counts for it.
  struct Shared {
    // Held by the render thread for as long as the surface is current, and by the
    // GUI thread while it changes `drawable` or the surface itself.
    std::mutex gate;
    std::atomic<bool> drawable{false};
    // The surface may stay current on the render thread between frames.
    bool keep_current = false;
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
  // Shuts drawing out of the surface (the GUI thread is about to change it).
  void Withdraw();
  // An exposure can go missing (hide, restore and a hand-off in a row): while the
  // window is visible but not drawable, the platform's own state is asked again.
  void CheckExposure();
  // Runs `work` on the render thread (or here, without one); `wait` until it is done.
  void OnRenderThread(const std::function<void(MpvRenderer*)>& work, bool wait);

  mpv_handle* mpv_;
  Shared shared_;
  QOffscreenSurface* offscreen_;     // where the renderer is current while not drawing
  MpvRenderer* renderer_ = nullptr;  // null when GL or mpv's renderer failed
  QThread* thread_ = nullptr;        // null: drawing on the GUI thread (no threaded GL here)
  QTimer exposure_check_;
  int unexposed_checks_ = 0;
};

}  // namespace tavlin
