#include "ui/player/mpv_player_control.h"

#include <mpv/client.h>

#include <QDir>
#include <QFileInfo>
#include <QMetaObject>
#include <QNetworkAccessManager>
#include <QThread>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/player/qvod_address.h"
#include "ui/player/mpv_library.h"
#include "ui/player/mpv_video_window.h"
#include "ui/player/player_surface.h"
#include "ui/player/qvod_download.h"
#include "ui/player/seed_address.h"

namespace tavlin {
namespace {

using player::ClassifySource;
using player::ParseQvodAddress;
using player::QvodAddress;
using player::SourceKind;

// Bytes of a qvod item that must be on disk before mpv is asked to open it: enough
// for the (faststart) index, so opening does not race the first bytes.
constexpr qint64 kBytesBeforeOpen = 256 * 1024;

// How far playback must have gone from where a past-the-end write found it before
// that write is forgotten: well above the jitter of a paused time-pos, well below
// the 1 s poll.
constexpr double kMovedOnSeconds = 0.5;

bool SetOption(mpv_handle* mpv, const char* name, const char* value) {
  return mpv_set_option_string(mpv, name, value) >= 0;
}

// What the control reads of mpv. mpv reports their changes; the reads are answered
// from those reports, because a synchronous read waits for mpv's core, and the core
// may itself be waiting for a frame to be drawn, or simply not be scheduled soon.
struct Watched {
  const char* name;
  mpv_format format;
};
constexpr Watched kWatched[] = {
    {"idle-active", MPV_FORMAT_FLAG},     {"eof-reached", MPV_FORMAT_FLAG},
    {"pause", MPV_FORMAT_FLAG},           {"paused-for-cache", MPV_FORMAT_FLAG},
    {"seeking", MPV_FORMAT_FLAG},         {"mute", MPV_FORMAT_FLAG},
    {"volume", MPV_FORMAT_DOUBLE},        {"duration", MPV_FORMAT_DOUBLE},
    {"time-pos", MPV_FORMAT_DOUBLE},      {"video-bitrate", MPV_FORMAT_DOUBLE},
    {"audio-bitrate", MPV_FORMAT_DOUBLE}, {"file-size", MPV_FORMAT_DOUBLE},
    {"cache-speed", MPV_FORMAT_DOUBLE},   {"demuxer-cache-state", MPV_FORMAT_NODE}};
// Of an item, forgotten when the next one starts.
constexpr const char* kItemValues[] = {"duration", "time-pos", "video-bitrate", "audio-bitrate",
                                       "file-size", "cache-speed", "cache-end", "eof-cached"};

mpv_handle* MakeMpv(const MpvPlayerOptions& options) {
  mpv_handle* mpv = mpv_create();
  if (!mpv) return nullptr;
  // Page links reach Url: nothing from the user's mpv setup, no scripts, no
  // downloader helpers, no key bindings or on-screen controller of mpv's own.
  bool ok =
      SetOption(mpv, "config", "no") && SetOption(mpv, "load-scripts", "no") &&
      SetOption(mpv, "ytdl", "no") && SetOption(mpv, "input-default-bindings", "no") &&
      SetOption(mpv, "input-vo-keyboard", "no") && SetOption(mpv, "osc", "no") &&
      SetOption(mpv, "keep-open", "yes") &&
      // The machine's decoder where it has a safe one; mpv falls back to software
      // by itself, without a word to the user.
      SetOption(mpv, "hwdec", "auto-safe") &&
      // A small video enlarged stays sharp (bilinear blurs it); a large one shrunk
      // into the window gets a soft cubic, so fine patterns do not turn into moiré.
      SetOption(mpv, "scale", "catmull_rom") && SetOption(mpv, "dscale", "mitchell") &&
      SetOption(mpv, "load-unsafe-playlists", "no") &&
      SetOption(mpv, "access-references", "no") && SetOption(mpv, "volume-max", "100") &&
      SetOption(mpv, "idle", "yes") && SetOption(mpv, "terminal", "no") &&
      // mpv's on-screen display only in full screen (MpvPlayerControl::ShowFeedback).
      SetOption(mpv, "osd-level", "0") &&
      SetOption(mpv, "vo", "null") &&
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
  if (ok && !options.mpv_log_level.empty()) {
    SetOption(mpv, "terminal", "yes");
    SetOption(mpv, "msg-level", ("all=" + options.mpv_log_level).c_str());
    SetOption(mpv, "msg-time", "yes");
  }
  if (!ok || mpv_initialize(mpv) < 0) {
    mpv_terminate_destroy(mpv);
    return nullptr;
  }
  return mpv;
}

}  // namespace

std::unique_ptr<MpvPlayerControl> MpvPlayerControl::Create(MpvPlayerOptions options) {
  auto control = std::make_unique<MpvPlayerControl>(std::move(options));
  if (!control->Start()) return nullptr;
  return control;
}

MpvPlayerControl::MpvPlayerControl(MpvPlayerOptions options)
    : options_(std::move(options)), network_(new QNetworkAccessManager(this)) {
  if (!options_.download_folder.empty() && !options_.portal_base.empty()) {
    download_folder_ = QString::fromStdString(options_.download_folder);
    if (!download_folder_.endsWith('/')) download_folder_ += '/';
    seed_base_ = SeedBaseAddress(QString::fromStdString(options_.portal_base));
  }
  surface_ = new PlayerSurface;
  connect(surface_, &PlayerSurface::FullScreenChanged, this, &MpvPlayerControl::FollowFullScreen);
}

bool MpvPlayerControl::Start() {
  if (mpv_) return true;
  if (start_failed_) return false;
  mpv_ = LoadMpv() ? MakeMpv(options_) : nullptr;
  if (!mpv_) {
    start_failed_ = true;
    return false;
  }
  // Volume and mute written before the start, written again now that mpv is there.
  if (seen_.count("volume")) SetVolume(Volume());
  if (seen_.count("mute")) SetMute(Mute());
  if (surface_ && !options_.null_output && PlayerSurface::PlatformCanShowVideo()) {
    video_ = new MpvVideoWindow(mpv_);
    surface_->SetVideoView(video_);
    // mpv cannot open video without a renderer: without one (no usable GL), or once
    // the window has taken it away, frames go to the null output, keeping their timing.
    if (video_->HasRenderContext()) UseVideoOutput("libmpv");
    if (video_->SoftwareGl()) ScaleBeforeDrawing();
    connect(video_, &MpvVideoWindow::RenderContextLost, this, [this] { UseVideoOutput("null"); });
  }
  for (const Watched& watched : kWatched) mpv_observe_property(mpv_, 0, watched.name, watched.format);
  ReadAll();
  if (FullScreen()) mpv_set_property_string(mpv_, "osd-level", "1");
  mpv_set_wakeup_callback(
      mpv_,
      [](void* self) {
        QMetaObject::invokeMethod(static_cast<MpvPlayerControl*>(self),
                                  &MpvPlayerControl::DrainEvents, Qt::QueuedConnection);
      },
      this);
  return true;
}

void MpvPlayerControl::StartInBackground(std::function<void(bool)> done) {
  if (loader_) return;
  if (mpv_ || start_failed_) {
    done(Start());
    return;
  }
  loader_ = QThread::create([] { LoadMpv(); });
  connect(loader_, &QThread::finished, this, [this, done = std::move(done)] {
    loader_->deleteLater();
    loader_ = nullptr;
    done(Start());
  });
  loader_->start();
}

MpvPlayerControl::~MpvPlayerControl() {
  if (loader_) loader_->wait();  // opening libmpv cannot be broken off
  if (mpv_) {
    mpv_set_wakeup_callback(mpv_, nullptr, nullptr);
    // The renderer goes first, mpv next, the widget last.
    if (video_) video_->DetachFromMpv();
    mpv_terminate_destroy(mpv_);
  }
  ReleasePartialName();  // mpv is gone: a whole item held back takes its name now
  if (surface_ && !surface_->parent()) delete surface_.data();
}

QWidget* MpvPlayerControl::VideoWidget() const { return surface_.data(); }
MpvVideoWindow* MpvPlayerControl::VideoView() const { return video_.data(); }

double MpvPlayerControl::DoubleProperty(const char* name, double fallback) const {
  auto found = seen_.find(name);
  return found == seen_.end() ? fallback : found->second;
}

bool MpvPlayerControl::FlagProperty(const char* name) const { return DoubleProperty(name, 0) != 0; }

void MpvPlayerControl::Note(const std::string& name, int format, void* data) {
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

void MpvPlayerControl::ReadAll() {
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

void MpvPlayerControl::DrainEvents() {
  while (true) {
    mpv_event* event = mpv_wait_event(mpv_, 0);
    switch (event->event_id) {
      case MPV_EVENT_NONE:
        return;
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
        if (path && opened_path_ == QString::fromUtf8(path)) {
          loading_ = false;
          ReleasePartialName();  // mpv holds the file open now
        }
        mpv_free(path);
        break;
      }
      case MPV_EVENT_END_FILE: {
        auto* end = static_cast<mpv_event_end_file*>(event->data);
        if (end->reason == MPV_END_FILE_REASON_ERROR && end->playlist_entry_id == current_entry_) {
          loading_ = false;
          load_failed_ = true;
          ReleasePartialName();
        }
        break;
      }
      case MPV_EVENT_PLAYBACK_RESTART:
        pending_seek_.reset();  // the seek has landed
        ReadAll();
        emit PlaybackStarted();
        break;
      default:
        break;
    }
  }
}

void MpvPlayerControl::SetUrl(const std::string& url) {
  Start();  // an item needs mpv now; without it the item fails to load
  url_ = url;
  stopped_ = false;
  user_paused_ = false;
  pending_seek_.reset();
  past_end_.reset();
  current_download_key_.clear();
  const SourceKind kind = ClassifySource(url);
  accepted_ = kind != SourceKind::kRejected;
  remote_ = kind == SourceKind::kHttpStream || kind == SourceKind::kQvod;
  if (kind == SourceKind::kQvod) {
    if (DownloadFor(url)) current_download_key_ = DownloadKey(url);
  }
  // The next item prepared belongs to the item before; a page's links must not
  // leave a download running for every item they started.
  next_download_key_.clear();
  DropUnwatchedDownloads();
  // Written, an item loads but waits for Play, as the control did.
  if (mpv_) mpv_set_property_string(mpv_, "pause", "yes");
  seen_["pause"] = 1;
  Load();
}

void MpvPlayerControl::UnloadPrevious() {
  // The item written before must not go on showing (or resume on Play) while the
  // new one is refused or still arriving.
  if (!mpv_) return;
  const char* command[] = {"stop", nullptr};
  mpv_command(mpv_, command);
}

void MpvPlayerControl::Load() {
  // Whatever was opening is replaced, and a whole item held back is placed before
  // its path is read below.
  ReleasePartialName();
  load_failed_ = false;
  loading_ = false;
  waiting_for_bytes_ = false;
  if (!accepted_ || !mpv_) {
    load_failed_ = true;
    UnloadPrevious();
    return;
  }
  switch (ClassifySource(url_)) {
    case SourceKind::kLocalFile:
      OpenInMpv(QFileInfo(QString::fromStdString(url_)).absoluteFilePath());
      return;
    case SourceKind::kHttpStream:
      OpenInMpv(QString::fromStdString(url_));
      return;
    case SourceKind::kQvod: {
      QvodDownload* download = CurrentDownload();
      if (!download || download->Failed()) {
        load_failed_ = true;
        UnloadPrevious();
        return;
      }
      waiting_for_bytes_ = true;
      OnDownloadProgress(download);
      if (waiting_for_bytes_) UnloadPrevious();
      return;
    }
    case SourceKind::kRejected:
      load_failed_ = true;
      UnloadPrevious();
      return;
  }
}

void MpvPlayerControl::UseVideoOutput(const char* name) {
  char* current = mpv_get_property_string(mpv_, "vo");
  const bool same = current && std::strcmp(current, name) == 0;
  mpv_free(current);
  if (!same) mpv_set_property_string(mpv_, "vo", name);
}

void MpvPlayerControl::OpenInMpv(const QString& path) {
  if (video_ && !video_->HasRenderContext()) UseVideoOutput("null");
  opened_path_ = path;
  loading_ = true;
  // The item before's length and place are not this one's: mpv reports the new ones
  // only once the file is open, and a reader meanwhile (the desktop's description of
  // the item) would take the old length for the new item's.
  seen_.erase("duration");
  seen_.erase("time-pos");
  const QByteArray utf8 = path.toUtf8();
  const char* command[] = {"loadfile", utf8.constData(), "replace", nullptr};
  if (mpv_command(mpv_, command) < 0) {
    loading_ = false;
    load_failed_ = true;
  }
}

QString MpvPlayerControl::DownloadKey(const std::string& url) const {
  const std::optional<QvodAddress> address = ParseQvodAddress(url);
  if (!address || download_folder_.isEmpty()) return {};
  return QString::fromStdString(address->hash) + '|' + QString::number(address->size);
}

QvodDownload* MpvPlayerControl::DownloadFor(const std::string& url) {
  const std::optional<QvodAddress> address = ParseQvodAddress(url);
  const QString key = DownloadKey(url);
  if (!address || key.isEmpty()) return nullptr;
  auto found = downloads_.find(key);
  // Reused unless it failed or the file it wrote has gone from disk meanwhile (a
  // file put under that name since is not taken for it).
  if (found != downloads_.end() && !found->second->Failed() &&
      (!found->second->Complete() || found->second->StillOnDisk())) {
    return found->second;
  }
  if (found != downloads_.end()) {
    if (found->second == opening_partial_) opening_partial_ = nullptr;
    found->second->deleteLater();
    downloads_.erase(found);
  }
  const QUrl source(seed_base_ + QString::fromStdString(address->hash));
  auto* download = new QvodDownload(network_, source, download_folder_,
                                    QString::fromStdString(address->name),
                                    QString::fromStdString(address->hash), address->size, this);
  downloads_[key] = download;
  connect(download, &QvodDownload::Progressed, this,
          [this, download] { OnDownloadProgress(download); });
  connect(download, &QvodDownload::Finished, this,
          [this, download] { OnDownloadProgress(download); });
  connect(download, &QvodDownload::GaveUp, this, [this, download] {
    if (download == CurrentDownload() && waiting_for_bytes_) {
      waiting_for_bytes_ = false;
      load_failed_ = true;
    }
  });
  download->Start();
  return download;
}

void MpvPlayerControl::DropUnwatchedDownloads() {
  for (auto it = downloads_.begin(); it != downloads_.end();) {
    if (it->first == current_download_key_ || it->first == next_download_key_) {
      ++it;
      continue;
    }
    QvodDownload* download = it->second;
    if (download == opening_partial_) opening_partial_ = nullptr;
    download->Abandon();
    download->deleteLater();
    it = downloads_.erase(it);
  }
}

QvodDownload* MpvPlayerControl::CurrentDownload() const {
  if (current_download_key_.isEmpty()) return nullptr;
  auto found = downloads_.find(current_download_key_);
  return found == downloads_.end() ? nullptr : found->second;
}

void MpvPlayerControl::ReleasePartialName() {
  if (QvodDownload* download = opening_partial_) {
    opening_partial_ = nullptr;
    download->KeepPartialName(false);
  }
}

void MpvPlayerControl::OnDownloadProgress(QvodDownload* download) {
  if (download != CurrentDownload() || !waiting_for_bytes_ || stopped_) return;
  if (download->Complete()) {
    waiting_for_bytes_ = false;
    OpenInMpv(download->path());  // all on disk: an ordinary file
  } else if (download->BytesOnDisk() >= std::min(download->size(), kBytesBeforeOpen)) {
    waiting_for_bytes_ = false;
    OpenInMpv("appending://" + download->path());
    // mpv opens it a moment later; once it has, the file may take its final name.
    if (loading_) {
      opening_partial_ = download;
      download->KeepPartialName(true);
    }
  }
}

void MpvPlayerControl::Play() {
  if (url_.empty() || !mpv_) return;
  user_paused_ = false;
  if (stopped_ || load_failed_ || (FlagProperty("idle-active") && !loading_ && !waiting_for_bytes_)) {
    stopped_ = false;
    pending_seek_.reset();
    past_end_.reset();
    Load();
  } else if (FlagProperty("eof-reached")) {
    // Play at the end starts the item again.
    const char* command[] = {"seek", "0", "absolute", nullptr};
    mpv_command(mpv_, command);
    past_end_.reset();
  }
  mpv_set_property_string(mpv_, "pause", "no");
  seen_["pause"] = 0;
  ShowFeedback(Feedback::kProgress);
}

QSize MpvPlayerControl::FrameSize() const {
  int64_t w = 0, h = 0;
  if (!mpv_) return {};
  mpv_get_property(mpv_, "video-out-params/w", MPV_FORMAT_INT64, &w);
  mpv_get_property(mpv_, "video-out-params/h", MPV_FORMAT_INT64, &h);
  return QSize(static_cast<int>(w), static_cast<int>(h));
}

void MpvPlayerControl::ScaleBeforeDrawing() {
  // On a GL that draws on the CPU any scaler but bilinear costs a pass over the whole
  // source picture besides the one to the screen: with bicubic, three times all the
  // rest of playback. There the decoder's filter chain brings each frame to the
  // picture's size with a lanczos (vectorised, and widened for downscaling, so no
  // moire), and GL only copies it; until the size is known GL scales bilinear.
  mpv_set_property_string(mpv_, "scale", "bilinear");
  mpv_set_property_string(mpv_, "dscale", "bilinear");
  fit_timer_.setSingleShot(true);
  // A window being dragged larger changes size many times a second; each change
  // rebuilds the filter chain.
  fit_timer_.setInterval(250);
  connect(&fit_timer_, &QTimer::timeout, this, [this] {
    if (fit_size_.width() < 16 || fit_size_.height() < 16) return;
    const QByteArray vf = QStringLiteral("scale=w=%1:h=%2:force_original_aspect_ratio=decrease:flags=lanczos")
                              .arg(fit_size_.width())
                              .arg(fit_size_.height())
                              .toUtf8();
    const char* value = vf.constData();
    mpv_set_property_async(mpv_, 0, "vf", MPV_FORMAT_STRING, &value);
  });
  connect(video_, &MpvVideoWindow::PictureSizeChanged, this, [this](int width, int height) {
    fit_size_ = QSize(width, height);
    fit_timer_.start();
  });
}

void MpvPlayerControl::Pause() {
  if (url_.empty() || !mpv_) return;
  user_paused_ = true;
  mpv_set_property_string(mpv_, "pause", "yes");
  seen_["pause"] = 1;
  ShowFeedback(Feedback::kProgress);
}

void MpvPlayerControl::Stop() {
  if (url_.empty() || stopped_ || !mpv_) return;
  stopped_ = true;
  waiting_for_bytes_ = false;
  loading_ = false;
  pending_seek_.reset();
  past_end_.reset();
  ReleasePartialName();
  const char* command[] = {"stop", nullptr};
  mpv_command(mpv_, command);
}

player::PlayerSnapshot MpvPlayerControl::Snapshot() const {
  player::PlayerSnapshot s;
  s.has_url = !url_.empty();
  s.stopped = stopped_;
  s.idle_active = FlagProperty("idle-active");
  s.stop_pending = stopped_ && !s.idle_active;
  if (QvodDownload* download = CurrentDownload()) {
    s.download_waiting = waiting_for_bytes_ && download->BytesOnDisk() == 0;
    s.download_retrying = waiting_for_bytes_ && download->Retrying();
  }
  s.remote = remote_;
  s.loading = loading_ || waiting_for_bytes_;
  s.load_failed = load_failed_;
  s.eof_reached = FlagProperty("eof-reached");
  s.pause = FlagProperty("pause");
  s.paused_for_cache = FlagProperty("paused-for-cache");
  s.seeking = pending_seek_.has_value() || FlagProperty("seeking");
  return s;
}

int MpvPlayerControl::PlayState() const { return player::MapPlayState(Snapshot()); }

bool MpvPlayerControl::OpenFailed() const { return !url_.empty() && !stopped_ && load_failed_; }

bool MpvPlayerControl::Mute() const { return FlagProperty("mute"); }

void MpvPlayerControl::SetMute(bool on) {
  int flag = on ? 1 : 0;
  if (!mpv_) seen_["mute"] = flag;  // set as mpv starts
  else if (mpv_set_property(mpv_, "mute", MPV_FORMAT_FLAG, &flag) >= 0) seen_["mute"] = flag;
  ShowFeedback(Feedback::kVolume);
}

bool MpvPlayerControl::FullScreen() const { return surface_ && surface_->IsFullScreen(); }

void MpvPlayerControl::SetFullScreen(bool on) {
  if (surface_) surface_->SetFullScreen(on);
}

void MpvPlayerControl::FollowFullScreen(bool on) {
  if (mpv_) mpv_set_property_string(mpv_, "osd-level", on ? "1" : "0");
  emit FullScreenChanged(on);
}

void MpvPlayerControl::ShowFeedback(Feedback what) {
  if (!mpv_ || !FullScreen()) return;
  if (what == Feedback::kProgress) {
    // The bar and the time, with the pause state; both follow a seek under way.
    mpv_command_string(mpv_, "show-progress");
    return;
  }
  mpv_command_string(mpv_, "osd-bar add volume 0");
  const QByteArray text = Mute() ? QByteArrayLiteral("静音") : "音量：" + QByteArray::number(Volume()) + "%";
  const char* command[] = {"show-text", text.constData(), nullptr};
  mpv_command(mpv_, command);
}

int MpvPlayerControl::Volume() const {
  return std::clamp(static_cast<int>(std::lround(DoubleProperty("volume", 100))), 0, 100);
}

void MpvPlayerControl::SetVolume(int volume) {
  double value = std::clamp(volume, 0, 100);
  if (!mpv_) seen_["volume"] = value;  // set as mpv starts
  else if (mpv_set_property(mpv_, "volume", MPV_FORMAT_DOUBLE, &value) >= 0) seen_["volume"] = value;
  ShowFeedback(Feedback::kVolume);
}

int MpvPlayerControl::Duration() const {
  if (stopped_ || load_failed_) return 0;
  return static_cast<int>(std::max(0.0, std::floor(DoubleProperty("duration"))));
}

double MpvPlayerControl::ReportedSeconds() const {
  double seconds = pending_seek_ ? *pending_seek_ : DoubleProperty("time-pos");
  // time-pos can read a little past the end.
  const double duration = DoubleProperty("duration");
  if (duration > 0) seconds = std::min(seconds, duration);
  return std::max(0.0, seconds);
}

int MpvPlayerControl::Position() const {
  if (url_.empty() || stopped_ || load_failed_ || loading_ || waiting_for_bytes_) return 0;
  const double seconds = ReportedSeconds();
  if (past_end_ && std::abs(seconds - past_end_->from) < kMovedOnSeconds) return past_end_->written;
  return static_cast<int>(std::floor(seconds));
}

void MpvPlayerControl::SetPosition(int seconds) {
  if (url_.empty() || !mpv_ || stopped_ || load_failed_ || loading_ || waiting_for_bytes_) return;
  past_end_.reset();
  const double duration = DoubleProperty("duration");
  // The control read a position written past the end back as written, and the
  // program relies on that to land two seconds before the end instead. mpv is not
  // sent there: it would finish the item before the correction arrives.
  if (duration > 0 && seconds > std::floor(duration)) {
    past_end_ = PastEnd{seconds, ReportedSeconds()};
    return;
  }
  const double target = std::max(0, seconds);
  const bool was_at_end = FlagProperty("eof-reached");
  // Already held at the end: seeking there again would put mpv back on the last
  // frame, paused but no longer at its end, and the item would never finish.
  if (was_at_end && duration > 0 && target >= std::floor(duration)) return;
  const QByteArray text = QByteArray::number(target, 'f', 3);
  const char* command[] = {"seek", text.constData(), "absolute+exact", nullptr};
  if (mpv_command(mpv_, command) < 0) return;
  pending_seek_ = target;
  ShowFeedback(Feedback::kProgress);
  // keep-open paused mpv at the end; leaving the end by a seek plays on unless the
  // user had paused.
  if (was_at_end && !user_paused_ && target < std::floor(duration)) {
    mpv_set_property_string(mpv_, "pause", "no");
    seen_["pause"] = 0;
  }
}

int MpvPlayerControl::BitRate() const {
  if (url_.empty() || stopped_) return 0;
  const double bits = DoubleProperty("video-bitrate") + DoubleProperty("audio-bitrate");
  if (bits > 0) return static_cast<int>(bits / 1000);
  const double duration = DoubleProperty("duration");
  const double bytes = DoubleProperty("file-size");
  if (duration <= 0 || bytes <= 0) return 0;
  return static_cast<int>(bytes * 8 / duration / 1000);
}

int MpvPlayerControl::DownloadSpeed() const {
  if (QvodDownload* download = CurrentDownload()) return download->SpeedKilobytes();
  if (!remote_ || stopped_) return 0;
  return static_cast<int>(DoubleProperty("cache-speed") / 1024);
}

int MpvPlayerControl::DownloadProgress() const {
  if (QvodDownload* download = CurrentDownload()) return download->ProgressPerMille();
  // A local file has nothing to download.
  if (!remote_ || stopped_) return 0;
  const double cache_end = DoubleProperty("cache-end", -1);
  const bool eof_cached = FlagProperty("eof-cached");
  if (eof_cached) return 1000;
  const double duration = DoubleProperty("duration");
  if (cache_end < 0 || duration <= 0) return 0;
  return std::clamp(static_cast<int>(cache_end / duration * 1000), 0, 1000);
}

void MpvPlayerControl::PrepareNext(const std::string& url) {
  // Only qvod items have anything to fetch ahead; the result is not read.
  if (ClassifySource(url) != SourceKind::kQvod || !DownloadFor(url)) return;
  next_download_key_ = DownloadKey(url);
  DropUnwatchedDownloads();
}

void MpvPlayerControl::SetDownloadFolder(const std::string& folder) {
  // Without a portal qvod items stay refused; downloads under way keep their file.
  if (download_folder_.isEmpty() || folder.empty()) return;
  download_folder_ = QString::fromStdString(folder);
  if (!download_folder_.endsWith('/')) download_folder_ += '/';
}

void MpvPlayerControl::SetAdPageUrl(const std::string& url) {
  if (url == ad_page_url_) return;
  ad_page_url_ = url;
  emit AdPageUrlChanged();
}

qint64 MpvPlayerControl::DownloadedBytes(const std::string& url) const {
  auto found = downloads_.find(DownloadKey(url));
  return found == downloads_.end() ? -1 : found->second->BytesOnDisk();
}

}  // namespace tavlin
