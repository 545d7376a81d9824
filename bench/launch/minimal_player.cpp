// The yardstick for the program's launch with a file: the least a Qt Widgets window
// with libmpv's render API does to show a clip, with the program's mpv settings.
// Not part of the product.
#include <QApplication>
#include <QOpenGLContext>
#include <QOpenGLWidget>
#include <QMetaObject>
#include <clocale>
#include <cstdio>
#include <mpv/client.h>
#include <mpv/render_gl.h>

class VideoWidget : public QOpenGLWidget {
 public:
  explicit VideoWidget(const char* file) : file_(file) {
    mpv_ = mpv_create();
    for (auto [k, v] : {std::pair{"config", "no"},
                        {"vo", "libmpv"},
                        {"hwdec", "auto-safe"},
                        {"scale", "catmull_rom"},
                        {"dscale", "mitchell"},
                        {"keep-open", "yes"},
                        {"osc", "no"},
                        {"ao", "pipewire,pulse,alsa,jack"},
                        {"terminal", "no"}})
      mpv_set_option_string(mpv_, k, v);
    mpv_initialize(mpv_);
  }
  ~VideoWidget() override {
    makeCurrent();
    if (render_) mpv_render_context_free(render_);
    doneCurrent();
    mpv_terminate_destroy(mpv_);
  }

 protected:
  void initializeGL() override {
    mpv_opengl_init_params gl{[](void*, const char* name) -> void* {
                                return reinterpret_cast<void*>(QOpenGLContext::currentContext()->getProcAddress(name));
                              },
                              nullptr};
    int advanced = 1;
    mpv_render_param params[] = {{MPV_RENDER_PARAM_API_TYPE, const_cast<char*>(MPV_RENDER_API_TYPE_OPENGL)},
                                 {MPV_RENDER_PARAM_OPENGL_INIT_PARAMS, &gl},
                                 {MPV_RENDER_PARAM_ADVANCED_CONTROL, &advanced},
                                 {MPV_RENDER_PARAM_INVALID, nullptr}};
    mpv_render_context_create(&render_, mpv_, params);
    mpv_render_context_set_update_callback(
        render_,
        [](void* self) {
          auto* w = static_cast<VideoWidget*>(self);
          QMetaObject::invokeMethod(
              w,
              [w] {
                if (mpv_render_context_update(w->render_) & MPV_RENDER_UPDATE_FRAME) w->update();
              },
              Qt::QueuedConnection);
        },
        this);
    const char* cmd[] = {"loadfile", file_, nullptr};
    mpv_command_async(mpv_, 0, cmd);
  }
  void paintGL() override {
    const qreal r = devicePixelRatioF();
    mpv_opengl_fbo fbo{static_cast<int>(defaultFramebufferObject()), static_cast<int>(width() * r),
                       static_cast<int>(height() * r), 0};
    int flip = 1;
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_OPENGL_FBO, &fbo}, {MPV_RENDER_PARAM_FLIP_Y, &flip}, {MPV_RENDER_PARAM_INVALID, nullptr}};
    mpv_render_context_render(render_, params);
  }

 private:
  const char* file_;
  mpv_handle* mpv_ = nullptr;
  mpv_render_context* render_ = nullptr;
};

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  std::setlocale(LC_NUMERIC, "C");  // libmpv's requirement
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s FILE\n", argv[0]);
    return 2;
  }
  VideoWidget w(argv[1]);
  w.resize(1000, 640);
  w.show();
  return app.exec();
}
