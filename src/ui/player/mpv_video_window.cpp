#include "ui/player/mpv_video_window.h"

#include <mpv/client.h>
#include <mpv/render_gl.h>

#include <QExposeEvent>
#include <QGuiApplication>
#include <QMetaObject>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QPlatformSurfaceEvent>
#include <QThread>
#include <memory>

#include <sys/resource.h>
#include <unistd.h>

namespace tavlin {
namespace {

void* GetProcAddress(void*, const char* name) {
  QOpenGLContext* context = QOpenGLContext::currentContext();
  return context ? reinterpret_cast<void*>(context->getProcAddress(name)) : nullptr;
}

}  // namespace

// Owns the GL context and mpv's render context; after Start, every call runs on its
// thread. It never calls into mpv but through mpv_render_*, so the core never waits
// on a thread that waits on the core.
class MpvRenderer : public QObject {
 public:
  MpvRenderer(MpvVideoWindow* window, QOffscreenSurface* offscreen, mpv_handle* mpv, MpvVideoWindow::Shared* shared)
      : window_(window), offscreen_(offscreen), mpv_(mpv), shared_(shared) {}

  // Before the window is ever shown, on an offscreen surface of the same format: mpv
  // decodes into the renderer from the first item on instead of switching to it later
  // (which opens the decoder again).
  bool Start() {
    context_ = std::make_unique<QOpenGLContext>();
    context_->setFormat(window_->requestedFormat());
    if (!context_->create() || !context_->makeCurrent(offscreen_)) return false;
    const auto* renderer = reinterpret_cast<const char*>(context_->functions()->glGetString(GL_RENDERER));
    const QByteArray name = renderer ? QByteArray(renderer).toLower() : QByteArray();
    shared_->software_gl = name.contains("llvmpipe") || name.contains("softpipe") || name.contains("swrast");
    mpv_opengl_init_params gl_init{&GetProcAddress, nullptr};
    int advanced = 0;
    mpv_render_param params[] = {{MPV_RENDER_PARAM_API_TYPE, const_cast<char*>(MPV_RENDER_API_TYPE_OPENGL)},
                                 {MPV_RENDER_PARAM_OPENGL_INIT_PARAMS, &gl_init},
                                 {MPV_RENDER_PARAM_ADVANCED_CONTROL, &advanced},
                                 {MPV_RENDER_PARAM_INVALID, nullptr}};
    if (mpv_render_context_create(&render_, mpv_, params) < 0) {
      render_ = nullptr;
      context_->doneCurrent();
      return false;
    }
    mpv_render_context_set_update_callback(render_, &MpvRenderer::OnMpvUpdate, this);
    context_->doneCurrent();
    shared_->has_renderer = true;
    return true;
  }

  // Hands the context to the render thread (Start runs on the GUI thread).
  void MoveTo(QThread* thread) {
    if (context_) context_->moveToThread(thread);
    moveToThread(thread);
  }

  void Stop() {
    shared_->has_renderer = false;
    if (render_) {
      context_->makeCurrent(offscreen_);
      mpv_render_context_free(render_);
      render_ = nullptr;
    }
    if (context_) context_->doneCurrent();
    context_.reset();
  }

  // mpv has something new (a frame, or work for the render thread).
  void Update() {
    update_queued_ = false;
    if (!render_) return;
    std::lock_guard<std::mutex> gate(shared_->gate);
    const bool visible = MakeCurrent();
    if (mpv_render_context_update(render_) & MPV_RENDER_UPDATE_FRAME) Draw(visible);
    AfterDraw();
  }

  // The window was exposed or resized: the current frame again.
  void Redraw() {
    if (!render_) return;
    std::lock_guard<std::mutex> gate(shared_->gate);
    Draw(MakeCurrent());
    AfterDraw();
  }

  // The GUI thread is about to change the surface (drawable is false by now).
  void LeaveWindow() {
    std::lock_guard<std::mutex> gate(shared_->gate);
    if (context_ && context_->surface() != offscreen_) context_->makeCurrent(offscreen_);
  }

 private:
  static void OnMpvUpdate(void* self) {
    // On an mpv thread, which must not call back into mpv: hop to the render thread,
    // once however often mpv calls before it gets there.
    auto* renderer = static_cast<MpvRenderer*>(self);
    if (!renderer->update_queued_.exchange(true)) {
      QMetaObject::invokeMethod(
          renderer, [renderer] { renderer->Update(); }, Qt::QueuedConnection);
    }
  }

  // True when drawing into the window; false on the offscreen surface. Only with
  // the gate held.
  bool MakeCurrent() {
    if (shared_->drawable && context_->makeCurrent(window_)) return true;
    context_->makeCurrent(offscreen_);
    return false;
  }

  // On X11 the window stays current between frames: binding it anew for every frame
  // made Mesa's software GL set up its buffers again each time, which cost a tenth
  // of playback's CPU. Elsewhere (Wayland, where a hide destroys the surface)
  // it is current only while the gate is held.
  void AfterDraw() {
    if (shared_->keep_current && shared_->drawable) return;
    if (context_ && context_->surface() != offscreen_) context_->makeCurrent(offscreen_);
  }

  void Draw(bool visible) {
    mpv_render_frame_info info{};
    mpv_render_param query{MPV_RENDER_PARAM_NEXT_FRAME_INFO, &info};
    const bool frame = mpv_render_context_get_info(render_, query) >= 0 && (info.flags & MPV_RENDER_FRAME_INFO_PRESENT);
    if (!visible) {
      // Hidden (the cover is shown): let mpv move on instead of waiting for a draw.
      int skip = 1;
      int block = 0;
      mpv_render_param params[] = {{MPV_RENDER_PARAM_SKIP_RENDERING, &skip},
                                   {MPV_RENDER_PARAM_BLOCK_FOR_TARGET_TIME, &block},
                                   {MPV_RENDER_PARAM_INVALID, nullptr}};
      mpv_render_context_render(render_, params);
      // Once a swap has ever been reported, mpv holds each frame until the next
      // report, 200 ms at most: a frame skipped is reported as shown.
      mpv_render_context_report_swap(render_);
      frame_while_hidden_ = frame_while_hidden_ || frame;
      return;
    }
    mpv_opengl_fbo fbo{static_cast<int>(context_->defaultFramebufferObject()), shared_->width, shared_->height, 0};
    int flip_y = 1;
    // mpv hands each frame over when it is due; waiting here besides for the frame's
    // flip would only keep this thread from the window's requests.
    int block = 0;
    mpv_render_param params[] = {{MPV_RENDER_PARAM_OPENGL_FBO, &fbo},
                                 {MPV_RENDER_PARAM_FLIP_Y, &flip_y},
                                 {MPV_RENDER_PARAM_BLOCK_FOR_TARGET_TIME, &block},
                                 {MPV_RENDER_PARAM_INVALID, nullptr}};
    mpv_render_context_render(render_, params);
    context_->swapBuffers(window_);
    mpv_render_context_report_swap(render_);
    // A frame that came while hidden reaches the screen now, redrawn.
    const bool shown = frame || frame_while_hidden_;
    frame_while_hidden_ = false;
    if (shown && shared_->frames_drawn++ == 0) {
      QMetaObject::invokeMethod(
          window_, [window = window_] { emit window->FirstFrameDrawn(); }, Qt::QueuedConnection);
    }
  }

  MpvVideoWindow* window_;
  QOffscreenSurface* offscreen_;
  mpv_handle* mpv_;
  MpvVideoWindow::Shared* shared_;
  std::unique_ptr<QOpenGLContext> context_;
  mpv_render_context* render_ = nullptr;
  std::atomic<bool> update_queued_{false};
  bool frame_while_hidden_ = false;
};

MpvVideoWindow::MpvVideoWindow(mpv_handle* mpv) : mpv_(mpv) {
  setSurfaceType(QSurface::OpenGLSurface);
  shared_.keep_current = !QGuiApplication::platformName().startsWith("wayland");
  if (!shared_.keep_current) {
    // Qt emulates a blocking swap there by waiting up to 100 ms for the compositor,
    // with the gate held; mpv times the frames itself.
    QSurfaceFormat format = requestedFormat();
    format.setSwapInterval(0);
    setFormat(format);
  }
  // Emitted before the platform hides the window (which on Wayland destroys its
  // surface); the hide event itself comes after.
  connect(this, &QWindow::visibleChanged, this, [this](bool visible) {
    if (!visible) {
      Withdraw();
      exposure_check_.stop();
    } else {
      exposure_check_.start();
    }
  });
  exposure_check_.setInterval(300);
  connect(&exposure_check_, &QTimer::timeout, this, &MpvVideoWindow::CheckExposure);
  // Clicks and keys fall through to the surface underneath.
  setFlag(Qt::WindowTransparentForInput);
  offscreen_ = new QOffscreenSurface(nullptr, this);
  offscreen_->setFormat(requestedFormat());
  offscreen_->create();
  renderer_ = new MpvRenderer(this, offscreen_, mpv_, &shared_);
  if (!renderer_->Start()) {
    renderer_->Stop();
    delete renderer_;
    renderer_ = nullptr;
    return;
  }
  if (QOpenGLContext::supportsThreadedOpenGL()) {
    thread_ = new QThread;
    thread_->setObjectName("mpv render");
    renderer_->MoveTo(thread_);
    thread_->start();
    // Under load the window's own work (the poll that records the position, the
    // user's input) goes first; a late frame is only dropped.
    QMetaObject::invokeMethod(
        renderer_, [] { setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 5); }, Qt::QueuedConnection);
  }
}

MpvVideoWindow::~MpvVideoWindow() { ReleaseRenderContext(); }

void MpvVideoWindow::NoteGeometry() {
  const qreal ratio = devicePixelRatio();
  const int w = static_cast<int>(width() * ratio);
  const int h = static_cast<int>(height() * ratio);
  const bool changed = w != shared_.width || h != shared_.height;
  const bool drawable = isVisible() && isExposed() && handle();
  {
    std::lock_guard<std::mutex> gate(shared_.gate);
    shared_.width = w;
    shared_.height = h;
    shared_.drawable = drawable;
  }
  if (changed) emit PictureSizeChanged(w, h);
  if (drawable) {
    exposure_check_.stop();
    OnRenderThread([](MpvRenderer* renderer) { renderer->Redraw(); }, false);
  } else if (isVisible()) {
    exposure_check_.start();
  }
}

void MpvVideoWindow::Withdraw() {
  {
    std::lock_guard<std::mutex> gate(shared_.gate);
    shared_.drawable = false;
  }
  // No draw starts on the surface now; one that holds it still current lets go.
  if (shared_.keep_current) OnRenderThread([](MpvRenderer* renderer) { renderer->LeaveWindow(); }, true);
}

void MpvVideoWindow::ChangeSurface(const std::function<void()>& change) {
  Withdraw();
  {
    std::lock_guard<std::mutex> gate(shared_.gate);
    change();
  }
  NoteGeometry();
}

void MpvVideoWindow::CheckExposure() {
  if (!isVisible() || shared_.drawable) {
    exposure_check_.stop();
    unexposed_checks_ = 0;
    return;
  }
  if (isExposed()) {
    NoteGeometry();
    return;
  }
  // Shown inside a visible window, yet never exposed: the native window was made
  // while its parent had none (on Wayland a window comes back from the tray after
  // its children), so it belongs to nothing. Made anew, it is placed again.
  const QWindow* top = this;
  while (top->parent()) top = top->parent();
  if (!top->isVisible() || !top->isExposed() || (top->windowStates() & Qt::WindowMinimized)) return;
  if (++unexposed_checks_ < 2) return;
  unexposed_checks_ = 0;
  hide();
  show();
}

void MpvVideoWindow::OnRenderThread(const std::function<void(MpvRenderer*)>& work, bool wait) {
  if (!renderer_) return;
  if (!thread_) {
    work(renderer_);
    return;
  }
  QMetaObject::invokeMethod(
      renderer_, [work, renderer = renderer_] { work(renderer); },
      wait ? Qt::BlockingQueuedConnection : Qt::QueuedConnection);
}

void MpvVideoWindow::ReleaseRenderContext() {
  if (!renderer_) return;
  const bool had = HasRenderContext();
  OnRenderThread([](MpvRenderer* renderer) { renderer->Stop(); }, true);
  if (thread_) {
    thread_->quit();
    thread_->wait();
    delete thread_;
    thread_ = nullptr;
  }
  delete renderer_;
  renderer_ = nullptr;
  if (had && mpv_) emit RenderContextLost();
}

void MpvVideoWindow::exposeEvent(QExposeEvent* event) {
  NoteGeometry();
  QWindow::exposeEvent(event);
}

void MpvVideoWindow::resizeEvent(QResizeEvent* event) {
  NoteGeometry();
  QWindow::resizeEvent(event);
}

bool MpvVideoWindow::event(QEvent* event) {
  // The native window is going (a new parent, or the end): nothing may draw into it
  // meanwhile. The next exposure brings it back. (A widget moved under another parent
  // hides first, which withdraws as well.)
  if (event->type() == QEvent::PlatformSurface && static_cast<QPlatformSurfaceEvent*>(event)->surfaceEventType() ==
                                                      QPlatformSurfaceEvent::SurfaceAboutToBeDestroyed) {
    Withdraw();
  }
  return QWindow::event(event);
}

}  // namespace tavlin
