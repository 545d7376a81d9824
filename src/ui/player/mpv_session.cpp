#include "ui/player/mpv_session.h"

#include <mpv/client.h>

#include <QMetaObject>
#include <QThread>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "ui/player/mpv_library.h"
#include "ui/player/mpv_video_window.h"

namespace tavlin {
namespace {

// ---- Every option the program gives mpv is set in this block. ----

bool SetOption(mpv_handle* mpv, const char* name, const char* value) {
  return mpv_set_option_string(mpv, name, value) >= 0;
}

// The player's mpv, created and initialised; null when it cannot start.
mpv_handle* MakeMpv(const MpvSessionOptions& options) {
  mpv_handle* mpv = mpv_create();
  if (!mpv) return nullptr;
  // Page links reach Url: nothing from the user's mpv setup, no scripts, no
  // downloader helpers, no key bindings or on-screen controller of mpv's own.
  bool ok = SetOption(mpv, "config", "no") && SetOption(mpv, "load-scripts", "no") && SetOption(mpv, "ytdl", "no") &&
            SetOption(mpv, "input-default-bindings", "no") && SetOption(mpv, "input-vo-keyboard", "no") &&
            SetOption(mpv, "osc", "no") && SetOption(mpv, "keep-open", "yes") &&
            // The machine's decoder where it has a safe one; mpv falls back to software
            // by itself, without a word to the user.
            SetOption(mpv, "hwdec", "auto-safe") &&
            // A small video enlarged stays sharp (bilinear blurs it); a large one shrunk
            // into the window gets a soft cubic, so fine patterns do not turn into moiré.
            SetOption(mpv, "scale", "catmull_rom") && SetOption(mpv, "dscale", "mitchell") &&
            SetOption(mpv, "load-unsafe-playlists", "no") && SetOption(mpv, "access-references", "no") &&
            SetOption(mpv, "volume-max", "100") && SetOption(mpv, "idle", "yes") && SetOption(mpv, "terminal", "no") &&
            // mpv's on-screen display only in full screen (MpvPlayerControl::ShowFeedback).
            SetOption(mpv, "osd-level", "0") && SetOption(mpv, "vo", "null") &&
            (!(options.null_output || options.null_audio) || SetOption(mpv, "ao", "null"));
  // mpv's own scripts (statistics, console...) would each run on a thread of their
  // own from the start, loading fonts and reading the environment, for keys that are
  // never bound here. Some names are unknown to older versions of mpv.
  for (const char* script : {"load-stats-overlay", "load-osd-console", "load-auto-profiles", "load-select",
                             "load-commands", "load-context-menu", "load-positioning"}) {
    const int rc = mpv_set_option_string(mpv, script, "no");
    ok = ok && (rc >= 0 || rc == MPV_ERROR_OPTION_NOT_FOUND);
  }
  // The sound servers and ALSA, not SDL: on a machine without sound SDL only tries
  // ALSA again, and gives up 100 ms later, at the start of every item.
  if (ok && !(options.null_output || options.null_audio)) SetOption(mpv, "ao", "pipewire,pulse,alsa,jack");
  if (ok && !options.log_level.empty()) {
    SetOption(mpv, "terminal", "yes");
    SetOption(mpv, "msg-level", ("all=" + options.log_level).c_str());
    SetOption(mpv, "msg-time", "yes");
  }
  if (!ok || mpv_initialize(mpv) < 0) {
    mpv_terminate_destroy(mpv);
    return nullptr;
  }
  return mpv;
}

// On a GL that draws on the CPU any scaler but bilinear costs a pass over the whole
// source picture besides the one to the screen: with bicubic, three times all the
// rest of playback. There the decoder's filter chain brings each frame to the
// picture's size with a lanczos (vectorised, and widened for downscaling, so no
// moire), and GL only copies it; until the size is known GL scales bilinear.
void UseCpuGlScaling(mpv_handle* mpv) {
  mpv_set_property_string(mpv, "scale", "bilinear");
  mpv_set_property_string(mpv, "dscale", "bilinear");
}

QByteArray FitFilter(QSize size) {
  return QStringLiteral("scale=w=%1:h=%2:force_original_aspect_ratio=decrease:flags=lanczos")
      .arg(size.width())
      .arg(size.height())
      .toUtf8();
}

// The start-up probe where the build did not find libmpv: can it start at all?
bool ProbeMpv() {
  mpv_handle* mpv = mpv_create();
  if (!mpv) return false;
  mpv_set_option_string(mpv, "config", "no");
  mpv_set_option_string(mpv, "vo", "null");
  mpv_set_option_string(mpv, "ao", "null");
  const bool ok = mpv_initialize(mpv) >= 0;
  mpv_terminate_destroy(mpv);
  return ok;
}

// ---- End of the options. ----

// The decoded picture's shape (width over height, the container's aspect applied),
// before any filter: the picture fitted to the window does not change it.
constexpr const char* kAspect = "video-params/aspect";

// What the control reads of mpv. mpv reports their changes; the reads are answered
// from those reports, because a synchronous read waits for mpv's core, and the core
// may itself be waiting for a frame to be drawn, or simply not be scheduled soon.
struct Watched {
  const char* name;
  mpv_format format;
};
constexpr Watched kWatched[] = {{"idle-active", MPV_FORMAT_FLAG},
                                {"eof-reached", MPV_FORMAT_FLAG},
                                {"pause", MPV_FORMAT_FLAG},
                                {"paused-for-cache", MPV_FORMAT_FLAG},
                                {"seeking", MPV_FORMAT_FLAG},
                                {"mute", MPV_FORMAT_FLAG},
                                {"volume", MPV_FORMAT_DOUBLE},
                                {"duration", MPV_FORMAT_DOUBLE},
                                {"time-pos", MPV_FORMAT_DOUBLE},
                                {"video-bitrate", MPV_FORMAT_DOUBLE},
                                {"audio-bitrate", MPV_FORMAT_DOUBLE},
                                {"file-size", MPV_FORMAT_DOUBLE},
                                {"cache-speed", MPV_FORMAT_DOUBLE},
                                {"demuxer-cache-state", MPV_FORMAT_NODE},
                                {kAspect, MPV_FORMAT_DOUBLE},
                                {"video-out-params/w", MPV_FORMAT_DOUBLE},
                                {"video-out-params/h", MPV_FORMAT_DOUBLE}};
// Of an item, forgotten when the next one starts.
constexpr const char* kItemValues[] = {"duration",           "time-pos",          "video-bitrate", "audio-bitrate",
                                       "file-size",          "cache-speed",       "cache-end",     "eof-cached",
                                       "video-out-params/w", "video-out-params/h"};

}  // namespace

MpvSession::MpvSession(MpvSessionOptions options) : options_(std::move(options)) {}

MpvSession::~MpvSession() {
  Quiesce();
  Close();
}

bool MpvSession::CanStart() {
  // A way to see the "player missing" path on a machine that has the player.
  if (const char* off = std::getenv("TAVLIN_NO_PLAYER"); off && *off == '1') return false;
  // Where the build found it, the library is only looked at: opening it costs 50 ms,
  // and a start without a media file opens it once the portal is on screen.
  if (MpvInstalled()) return true;
  // Elsewhere, the loader has to find it, and mpv has to start.
  return LoadMpv() && ProbeMpv();
}

bool MpvSession::Open() {
  if (mpv_) return true;
  if (open_failed_) return false;
  mpv_ = LoadMpv() ? MakeMpv(options_) : nullptr;
  open_failed_ = mpv_ == nullptr;
  return mpv_ != nullptr;
}

void MpvSession::OpenLibraryInBackground(std::function<void()> then) {
  if (loader_) return;
  if (mpv_ || open_failed_) {
    then();
    return;
  }
  loader_ = QThread::create([] { LoadMpv(); });
  connect(loader_, &QThread::finished, this, [this, then = std::move(then)] {
    loader_->deleteLater();
    loader_ = nullptr;
    then();
  });
  loader_->start();
}

void MpvSession::Watch() {
  for (const Watched& watched : kWatched) mpv_observe_property(mpv_, 0, watched.name, watched.format);
  ReadAll();
  mpv_set_wakeup_callback(
      mpv_,
      [](void* self) {
        QMetaObject::invokeMethod(static_cast<MpvSession*>(self), &MpvSession::DrainEvents, Qt::QueuedConnection);
      },
      this);
}

void MpvSession::Quiesce() {
  if (loader_) loader_->wait();  // opening libmpv cannot be broken off
  if (mpv_) mpv_set_wakeup_callback(mpv_, nullptr, nullptr);
}

void MpvSession::Close() {
  if (!mpv_) return;
  mpv_terminate_destroy(mpv_);
  mpv_ = nullptr;
}

double MpvSession::Double(const char* name, double fallback) const {
  auto found = seen_.find(name);
  return found == seen_.end() ? fallback : found->second;
}

void MpvSession::Note(const std::string& name, int format, void* data) {
  if (name == "demuxer-cache-state") {
    seen_.erase("cache-end");
    seen_.erase("eof-cached");
    const auto* state = static_cast<const mpv_node*>(data);
    if (format != MPV_FORMAT_NODE || state->format != MPV_FORMAT_NODE_MAP) return;
    for (int i = 0; i < state->u.list->num; ++i) {
      const std::string key = state->u.list->keys[i];
      const mpv_node& value = state->u.list->values[i];
      if (key == "cache-end" && value.format == MPV_FORMAT_DOUBLE) seen_["cache-end"] = value.u.double_;
      if (key == "eof-cached" && value.format == MPV_FORMAT_FLAG) seen_["eof-cached"] = value.u.flag;
    }
  } else if (format == MPV_FORMAT_FLAG) {
    seen_[name] = *static_cast<const int*>(data) != 0;
  } else if (format == MPV_FORMAT_DOUBLE) {
    seen_[name] = *static_cast<const double*>(data);
  } else {
    seen_.erase(name);  // unavailable: read as the fallback
  }
}

void MpvSession::ReportPictureShape() {
  const double aspect = Double(kAspect);
  // The gaps between items, where mpv has no picture, are not reported.
  if (aspect <= 0 || aspect == reported_aspect_) return;
  reported_aspect_ = aspect;
  emit PictureAspectChanged(aspect);
}

void MpvSession::ReadAll() {
  for (const Watched& watched : kWatched) {
    if (watched.format == MPV_FORMAT_NODE) {
      mpv_node node;
      if (mpv_get_property(mpv_, watched.name, MPV_FORMAT_NODE, &node) < 0) {
        Note(watched.name, MPV_FORMAT_NONE, nullptr);
        continue;
      }
      Note(watched.name, MPV_FORMAT_NODE, &node);
      mpv_free_node_contents(&node);
      continue;
    }
    double number = 0;
    int flag = 0;
    void* data = watched.format == MPV_FORMAT_FLAG ? static_cast<void*>(&flag) : &number;
    const bool ok = mpv_get_property(mpv_, watched.name, watched.format, data) >= 0;
    Note(watched.name, ok ? watched.format : MPV_FORMAT_NONE, data);
  }
}

void MpvSession::DrainEvents() {
  while (mpv_) {
    mpv_event* event = mpv_wait_event(mpv_, 0);
    switch (event->event_id) {
      case MPV_EVENT_NONE: ReportPictureShape(); return;
      case MPV_EVENT_START_FILE:
        current_entry_ = static_cast<mpv_event_start_file*>(event->data)->playlist_entry_id;
        for (const char* name : kItemValues) seen_.erase(name);
        seen_["idle-active"] = 0;
        break;
      case MPV_EVENT_PROPERTY_CHANGE: {
        auto* change = static_cast<mpv_event_property*>(event->data);
        Note(change->name, change->format, change->data);
        break;
      }
      case MPV_EVENT_FILE_LOADED: {
        // Once per item, while its values are new: read them all at once.
        ReadAll();
        char* path = mpv_get_property_string(mpv_, "path");
        const QString opened = path ? QString::fromUtf8(path) : QString();
        mpv_free(path);
        if (!opened.isNull()) emit FileLoaded(opened);
        break;
      }
      case MPV_EVENT_END_FILE: {
        auto* end = static_cast<mpv_event_end_file*>(event->data);
        if (end->reason == MPV_END_FILE_REASON_ERROR && end->playlist_entry_id == current_entry_) emit FileFailed();
        break;
      }
      case MPV_EVENT_PLAYBACK_RESTART:
        ReadAll();
        emit PlaybackRestarted();
        break;
      default: break;
    }
  }
}

bool MpvSession::Command(std::initializer_list<const char*> args) {
  if (!mpv_) return false;
  std::vector<const char*> command(args);
  command.push_back(nullptr);
  return mpv_command(mpv_, command.data()) >= 0;
}

void MpvSession::CommandString(const char* command) {
  if (mpv_) mpv_command_string(mpv_, command);
}

void MpvSession::SetString(const char* name, const char* value) {
  if (mpv_) mpv_set_property_string(mpv_, name, value);
}

bool MpvSession::SetFlag(const char* name, bool on) {
  int flag = on ? 1 : 0;
  return mpv_ && mpv_set_property(mpv_, name, MPV_FORMAT_FLAG, &flag) >= 0;
}

bool MpvSession::SetDouble(const char* name, double value) {
  return mpv_ && mpv_set_property(mpv_, name, MPV_FORMAT_DOUBLE, &value) >= 0;
}

void MpvSession::UseVideoOutput(const char* name) {
  char* current = mpv_get_property_string(mpv_, "vo");
  const bool same = current && std::strcmp(current, name) == 0;
  mpv_free(current);
  if (!same) mpv_set_property_string(mpv_, "vo", name);
}

void MpvSession::FitFramesTo(MpvVideoWindow* video) {
  UseCpuGlScaling(mpv_);
  fit_timer_.setSingleShot(true);
  // A window being dragged larger changes size many times a second; each change
  // rebuilds the filter chain.
  fit_timer_.setInterval(250);
  connect(&fit_timer_, &QTimer::timeout, this, [this] {
    if (!mpv_ || fit_size_.width() < 16 || fit_size_.height() < 16) return;
    // Frames that fill the picture already (the view was just fitted to them) are
    // left alone: a new filter chain would only make the same frames again.
    const QSize frame = FrameSize();
    if (!frame.isEmpty() && frame.boundedTo(fit_size_) == frame &&
        (frame.width() == fit_size_.width() || frame.height() == fit_size_.height()))
      return;
    const QByteArray vf = FitFilter(fit_size_);
    const char* value = vf.constData();
    mpv_set_property_async(mpv_, 0, "vf", MPV_FORMAT_STRING, &value);
  });
  connect(video, &MpvVideoWindow::PictureSizeChanged, this, [this](int width, int height) {
    fit_size_ = QSize(width, height);
    fit_timer_.start();
  });
}

QSize MpvSession::FrameSize() const {
  return QSize(static_cast<int>(Double("video-out-params/w")), static_cast<int>(Double("video-out-params/h")));
}

}  // namespace tavlin
