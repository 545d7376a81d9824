#include "ui/player/mpv_library.h"

#include <dlfcn.h>
#include <mpv/client.h>
#include <mpv/render.h>
#include <unistd.h>

#include <mutex>
#include <string>

namespace tavlin {
namespace {

// The file name carries the client API's major version, as the headers built against.
std::string LibraryName() { return "libmpv.so." + std::to_string(MPV_CLIENT_API_VERSION >> 16); }

template <typename Fn>
Fn* Find(const char* name, Fn* self) {
  if (!LoadMpv()) return nullptr;
  // The global scope, so that a library preloaded to watch mpv (a test's) comes
  // first; never this program's own forwarder.
  auto* found = reinterpret_cast<Fn*>(dlsym(RTLD_DEFAULT, name));
  return found == self ? nullptr : found;
}

}  // namespace

bool MpvInstalled() { return access((std::string(TAVLIN_MPV_LIBDIR "/") + LibraryName()).c_str(), R_OK) == 0; }

bool LoadMpv() {
  static std::once_flag once;
  static bool opened = false;
  std::call_once(once, [] { opened = dlopen(LibraryName().c_str(), RTLD_NOW | RTLD_GLOBAL) != nullptr; });
  return opened;
}

}  // namespace tavlin

// Each function looks its target up once.
#define TAVLIN_MPV_FORWARD(ret, name, params, args, fallback)                   \
  extern "C" ret name params {                                                  \
    static auto* const target = tavlin::Find<decltype(::name)>(#name, &::name); \
    if (!target) return fallback;                                               \
    return target args;                                                         \
  }
#define TAVLIN_MPV_FORWARD_VOID(name, params, args)                             \
  extern "C" void name params {                                                 \
    static auto* const target = tavlin::Find<decltype(::name)>(#name, &::name); \
    if (target) target args;                                                    \
  }

TAVLIN_MPV_FORWARD(mpv_handle*, mpv_create, (void), (), nullptr)
TAVLIN_MPV_FORWARD(int, mpv_initialize, (mpv_handle * ctx), (ctx), MPV_ERROR_UNINITIALIZED)
TAVLIN_MPV_FORWARD_VOID(mpv_terminate_destroy, (mpv_handle * ctx), (ctx))
TAVLIN_MPV_FORWARD_VOID(mpv_free, (void* data), (data))
TAVLIN_MPV_FORWARD_VOID(mpv_free_node_contents, (mpv_node * node), (node))
TAVLIN_MPV_FORWARD(int, mpv_set_option_string, (mpv_handle * ctx, const char* name, const char* data),
                   (ctx, name, data), MPV_ERROR_UNINITIALIZED)
TAVLIN_MPV_FORWARD(int, mpv_command, (mpv_handle * ctx, const char** args), (ctx, args), MPV_ERROR_UNINITIALIZED)
TAVLIN_MPV_FORWARD(int, mpv_command_string, (mpv_handle * ctx, const char* args), (ctx, args), MPV_ERROR_UNINITIALIZED)
TAVLIN_MPV_FORWARD(int, mpv_set_property, (mpv_handle * ctx, const char* name, mpv_format format, void* data),
                   (ctx, name, format, data), MPV_ERROR_UNINITIALIZED)
TAVLIN_MPV_FORWARD(int, mpv_set_property_string, (mpv_handle * ctx, const char* name, const char* data),
                   (ctx, name, data), MPV_ERROR_UNINITIALIZED)
TAVLIN_MPV_FORWARD(int, mpv_set_property_async,
                   (mpv_handle * ctx, uint64_t reply_userdata, const char* name, mpv_format format, void* data),
                   (ctx, reply_userdata, name, format, data), MPV_ERROR_UNINITIALIZED)
TAVLIN_MPV_FORWARD(int, mpv_get_property, (mpv_handle * ctx, const char* name, mpv_format format, void* data),
                   (ctx, name, format, data), MPV_ERROR_UNINITIALIZED)
TAVLIN_MPV_FORWARD(char*, mpv_get_property_string, (mpv_handle * ctx, const char* name), (ctx, name), nullptr)
TAVLIN_MPV_FORWARD(int, mpv_observe_property,
                   (mpv_handle * mpv, uint64_t reply_userdata, const char* name, mpv_format format),
                   (mpv, reply_userdata, name, format), MPV_ERROR_UNINITIALIZED)
TAVLIN_MPV_FORWARD(mpv_event*, mpv_wait_event, (mpv_handle * ctx, double timeout), (ctx, timeout), nullptr)
TAVLIN_MPV_FORWARD_VOID(mpv_set_wakeup_callback, (mpv_handle * ctx, void (*cb)(void* d), void* d), (ctx, cb, d))
TAVLIN_MPV_FORWARD(int, mpv_render_context_create,
                   (mpv_render_context * *res, mpv_handle* mpv, mpv_render_param* params), (res, mpv, params),
                   MPV_ERROR_UNINITIALIZED)
TAVLIN_MPV_FORWARD(int, mpv_render_context_get_info, (mpv_render_context * ctx, mpv_render_param param), (ctx, param),
                   MPV_ERROR_UNINITIALIZED)
TAVLIN_MPV_FORWARD_VOID(mpv_render_context_set_update_callback,
                        (mpv_render_context * ctx, mpv_render_update_fn callback, void* callback_ctx),
                        (ctx, callback, callback_ctx))
TAVLIN_MPV_FORWARD(uint64_t, mpv_render_context_update, (mpv_render_context * ctx), (ctx), 0)
TAVLIN_MPV_FORWARD(int, mpv_render_context_render, (mpv_render_context * ctx, mpv_render_param* params), (ctx, params),
                   MPV_ERROR_UNINITIALIZED)
TAVLIN_MPV_FORWARD_VOID(mpv_render_context_report_swap, (mpv_render_context * ctx), (ctx))
TAVLIN_MPV_FORWARD_VOID(mpv_render_context_free, (mpv_render_context * ctx), (ctx))
