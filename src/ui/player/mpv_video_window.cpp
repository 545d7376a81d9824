#include "ui/player/mpv_video_window.h"

#include <mpv/client.h>
#include <mpv/render_gl.h>

#include <QMetaObject>
#include <QOpenGLContext>
#include <QOpenGLFunctions>

namespace tavlin {
namespace {

void* GetProcAddress(void*, const char* name) {
  QOpenGLContext* context = QOpenGLContext::currentContext();
  return context ? reinterpret_cast<void*>(context->getProcAddress(name)) : nullptr;
}

}  // namespace

MpvVideoWindow::MpvVideoWindow(mpv_handle* mpv)
    : QOpenGLWindow(QOpenGLWindow::NoPartialUpdate), mpv_(mpv) {
  // Clicks and keys fall through to the surface underneath.
  setFlag(Qt::WindowTransparentForInput);
}

MpvVideoWindow::~MpvVideoWindow() { ReleaseRenderContext(); }

void MpvVideoWindow::ReleaseRenderContext() {
  if (!render_) return;
  makeCurrent();
  mpv_render_context_free(render_);
  render_ = nullptr;
  doneCurrent();
}

void MpvVideoWindow::initializeGL() {
  if (render_ || !mpv_) return;
  const auto* renderer = reinterpret_cast<const char*>(context()->functions()->glGetString(GL_RENDERER));
  const QByteArray name = renderer ? QByteArray(renderer).toLower() : QByteArray();
  software_gl_ = name.contains("llvmpipe") || name.contains("softpipe") || name.contains("swrast");
  mpv_opengl_init_params gl_init{&GetProcAddress, nullptr};
  int advanced = 0;
  mpv_render_param params[] = {
      {MPV_RENDER_PARAM_API_TYPE, const_cast<char*>(MPV_RENDER_API_TYPE_OPENGL)},
      {MPV_RENDER_PARAM_OPENGL_INIT_PARAMS, &gl_init},
      {MPV_RENDER_PARAM_ADVANCED_CONTROL, &advanced},
      {MPV_RENDER_PARAM_INVALID, nullptr}};
  if (mpv_render_context_create(&render_, mpv_, params) < 0) {
    render_ = nullptr;
    return;
  }
  mpv_render_context_set_update_callback(render_, &MpvVideoWindow::OnMpvUpdateCallback, this);
  // The renderer must go with its GL context, whenever Qt drops that.
  connect(
      context(), &QOpenGLContext::aboutToBeDestroyed, this,
      [this] {
        const bool had = render_ != nullptr;
        ReleaseRenderContext();
        if (had && mpv_) emit RenderContextLost();
      },
      Qt::DirectConnection);
  emit RenderContextReady();
}

void MpvVideoWindow::OnMpvUpdateCallback(void* self) {
  // Called on an mpv thread: hop to the widget's thread.
  QMetaObject::invokeMethod(static_cast<MpvVideoWindow*>(self), &MpvVideoWindow::OnMpvUpdate,
                            Qt::QueuedConnection);
}

void MpvVideoWindow::OnMpvUpdate() {
  if (!render_) return;
  if (!(mpv_render_context_update(render_) & MPV_RENDER_UPDATE_FRAME)) return;
  if (isExposed()) {
    update();
    return;
  }
  // Hidden (the cover is shown): let mpv move on instead of waiting for a draw.
  makeCurrent();
  int skip = 1;
  mpv_render_param params[] = {{MPV_RENDER_PARAM_SKIP_RENDERING, &skip},
                               {MPV_RENDER_PARAM_INVALID, nullptr}};
  mpv_render_context_render(render_, params);
  doneCurrent();
}

void MpvVideoWindow::paintGL() {
  if (!render_) return;
  const qreal ratio = devicePixelRatio();
  mpv_opengl_fbo fbo{static_cast<int>(defaultFramebufferObject()),
                     static_cast<int>(width() * ratio), static_cast<int>(height() * ratio), 0};
  int flip_y = 1;
  mpv_render_param params[] = {{MPV_RENDER_PARAM_OPENGL_FBO, &fbo},
                               {MPV_RENDER_PARAM_FLIP_Y, &flip_y},
                               {MPV_RENDER_PARAM_INVALID, nullptr}};
  mpv_render_context_render(render_, params);
  int64_t frame_shown = 0;
  if (mpv_get_property(mpv_, "vo-configured", MPV_FORMAT_FLAG, &frame_shown) >= 0 &&
      frame_shown) {
    if (frames_drawn_++ == 0) emit FirstFrameDrawn();
  }
}

}  // namespace tavlin
