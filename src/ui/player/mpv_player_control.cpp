#include "ui/player/mpv_player_control.h"

#include <QFileInfo>
#include <algorithm>
#include <cmath>

#include "ui/player/mpv_video_window.h"
#include "ui/player/player_surface.h"
#include "ui/player/qvod_download.h"

namespace tavlin {
namespace {

using player::ClassifySource;
using player::SourceKind;

// Bytes of a qvod item that must be on disk before mpv is asked to open it: enough
// for the (faststart) index, so opening does not race the first bytes.
constexpr qint64 kBytesBeforeOpen = 256 * 1024;

// How far playback must have gone from where a past-the-end write found it before
// that write is forgotten: well above the jitter of a paused time-pos, well below
// the 1 s poll.
constexpr double kMovedOnSeconds = 0.5;

}  // namespace

std::unique_ptr<MpvPlayerControl> MpvPlayerControl::Create(MpvPlayerOptions options) {
  auto control = std::make_unique<MpvPlayerControl>(std::move(options));
  if (!control->Start()) return nullptr;
  return control;
}

MpvPlayerControl::MpvPlayerControl(MpvPlayerOptions options)
    : session_({options.null_output, options.null_audio, options.mpv_log_level}),
      downloads_(options.portal_base, options.download_folder) {
  surface_ = new PlayerSurface;
  connect(surface_, &PlayerSurface::FullScreenChanged, this, &MpvPlayerControl::FollowFullScreen);
  connect(&session_, &MpvSession::FileLoaded, this, &MpvPlayerControl::OnFileLoaded);
  connect(&session_, &MpvSession::FileFailed, this, &MpvPlayerControl::OnFileFailed);
  connect(&session_, &MpvSession::PlaybackRestarted, this, [this] {
    pending_seek_.reset();  // the seek has landed
    emit PlaybackStarted();
  });
  connect(&downloads_, &DownloadSource::Progressed, this, &MpvPlayerControl::OnDownloadProgress);
  connect(&downloads_, &DownloadSource::GaveUp, this, &MpvPlayerControl::OnDownloadGaveUp);
}

bool MpvPlayerControl::Start() {
  if (session_.Running()) return true;
  if (!session_.Open()) return false;
  // Volume and mute written before the start, written again now that mpv is there.
  if (session_.Known("volume")) SetVolume(Volume());
  if (session_.Known("mute")) SetMute(Mute());
  if (surface_ && !session_.options().null_output && PlayerSurface::PlatformCanShowVideo()) {
    video_ = new MpvVideoWindow(session_.handle());
    surface_->SetVideoView(video_);
    // mpv cannot open video without a renderer: without one (no usable GL), or once
    // the window has taken it away, frames go to the null output, keeping their timing.
    if (video_->HasRenderContext()) session_.UseVideoOutput("libmpv");
    if (video_->SoftwareGl()) {
      session_.FitFramesTo(video_);
      // There every pixel of the view costs the CPU on every frame, the black bars
      // beside the picture as much as the picture: the view covers the picture only.
      connect(&session_, &MpvSession::PictureAspectChanged, surface_, &PlayerSurface::FitViewToPicture,
              Qt::QueuedConnection);
    }
    connect(video_, &MpvVideoWindow::RenderContextLost, this, [this] { session_.UseVideoOutput("null"); });
  }
  session_.Watch();
  if (FullScreen()) session_.SetString("osd-level", "1");
  return true;
}

void MpvPlayerControl::StartInBackground(std::function<void(bool)> done) {
  session_.OpenLibraryInBackground([this, done = std::move(done)] { done(Start()); });
}

MpvPlayerControl::~MpvPlayerControl() {
  session_.Quiesce();
  // The renderer goes first, mpv next, the widget last.
  if (video_ && session_.Running()) video_->DetachFromMpv();
  session_.Close();
  downloads_.ReleasePartialName();  // mpv is gone: a whole item held back takes its name now
  if (surface_ && !surface_->parent()) delete surface_.data();
}

QWidget* MpvPlayerControl::VideoWidget() const { return surface_.data(); }
MpvVideoWindow* MpvPlayerControl::VideoView() const { return video_.data(); }

void MpvPlayerControl::OnFileLoaded(const QString& path) {
  if (opened_path_ != path) return;
  if (load_ == Load::kOpening) load_ = Load::kOpened;
  downloads_.ReleasePartialName();  // mpv holds the file open now
}

void MpvPlayerControl::OnFileFailed() {
  // A stopped item stays stopped until it is played again.
  if (load_ != Load::kStopped) load_ = Load::kFailed;
  downloads_.ReleasePartialName();
}

void MpvPlayerControl::SetUrl(const std::string& url) {
  Start();  // an item needs mpv now; without it the item fails to load
  url_ = url;
  kind_ = ClassifySource(url);
  user_paused_ = false;
  pending_seek_.reset();
  past_end_.reset();
  downloads_.SetCurrent(url);
  // Written, an item loads but waits for Play, as the control did.
  WritePause(true);
  LoadItem();
}

void MpvPlayerControl::WritePause(bool on) {
  session_.SetString("pause", on ? "yes" : "no");
  session_.Remember("pause", on ? 1 : 0);
}

void MpvPlayerControl::UnloadPrevious() {
  // The item written before must not go on showing (or resume on Play) while the
  // new one is refused or still arriving.
  session_.Command({"stop"});
}

void MpvPlayerControl::LoadItem() {
  // Whatever was opening is replaced, and a whole item held back is placed before
  // its path is read below.
  downloads_.ReleasePartialName();
  load_ = Load::kFailed;
  if (session_.Running()) {
    switch (kind_) {
      case SourceKind::kLocalFile: OpenInMpv(QFileInfo(QString::fromStdString(url_)).absoluteFilePath()); return;
      case SourceKind::kHttpStream: OpenInMpv(QString::fromStdString(url_)); return;
      case SourceKind::kQvod:
        if (QvodDownload* download = downloads_.Current(); download && !download->Failed()) {
          load_ = Load::kWaitingForBytes;
          OnDownloadProgress(download);
          if (load_ == Load::kWaitingForBytes) UnloadPrevious();
          return;
        }
        break;
      case SourceKind::kRejected: break;
    }
  }
  UnloadPrevious();
}

void MpvPlayerControl::OpenInMpv(const QString& path) {
  if (video_ && !video_->HasRenderContext()) session_.UseVideoOutput("null");
  opened_path_ = path;
  load_ = Load::kOpening;
  // The item before's length and place are not this one's: mpv reports the new ones
  // only once the file is open, and a reader meanwhile (the desktop's description of
  // the item) would take the old length for the new item's.
  session_.Forget("duration");
  session_.Forget("time-pos");
  const QByteArray utf8 = path.toUtf8();
  if (!session_.Command({"loadfile", utf8.constData(), "replace"})) load_ = Load::kFailed;
}

void MpvPlayerControl::OnDownloadProgress(QvodDownload* download) {
  if (download != downloads_.Current() || load_ != Load::kWaitingForBytes) return;
  if (download->Complete()) {
    OpenInMpv(download->path());  // all on disk: an ordinary file
  } else if (download->BytesOnDisk() >= std::min(download->size(), kBytesBeforeOpen)) {
    OpenInMpv("appending://" + download->path());
    // mpv opens it a moment later; once it has, the file may take its final name.
    if (load_ == Load::kOpening) downloads_.KeepPartialNameWhileOpening(download);
  }
}

void MpvPlayerControl::OnDownloadGaveUp(QvodDownload* download) {
  if (download == downloads_.Current() && load_ == Load::kWaitingForBytes) load_ = Load::kFailed;
}

void MpvPlayerControl::Play() {
  if (url_.empty() || !session_.Running()) return;
  user_paused_ = false;
  const bool opening = load_ == Load::kOpening || load_ == Load::kWaitingForBytes;
  if (load_ == Load::kStopped || load_ == Load::kFailed || (session_.Flag("idle-active") && !opening)) {
    pending_seek_.reset();
    past_end_.reset();
    LoadItem();
  } else if (session_.Flag("eof-reached")) {
    // Play at the end starts the item again.
    session_.Command({"seek", "0", "absolute"});
    past_end_.reset();
  }
  WritePause(false);
  ShowFeedback(Feedback::kProgress);
}

void MpvPlayerControl::Pause() {
  if (url_.empty() || !session_.Running()) return;
  user_paused_ = true;
  WritePause(true);
  ShowFeedback(Feedback::kProgress);
}

void MpvPlayerControl::Stop() {
  if (url_.empty() || load_ == Load::kStopped || !session_.Running()) return;
  load_ = Load::kStopped;
  pending_seek_.reset();
  past_end_.reset();
  downloads_.ReleasePartialName();
  session_.Command({"stop"});
}

player::PlayerSnapshot MpvPlayerControl::Snapshot() const {
  player::PlayerSnapshot s;
  s.has_url = !url_.empty();
  s.stopped = load_ == Load::kStopped;
  s.idle_active = session_.Flag("idle-active");
  s.stop_pending = s.stopped && !s.idle_active;
  const bool waiting = load_ == Load::kWaitingForBytes;
  if (QvodDownload* download = downloads_.Current()) {
    s.download_waiting = waiting && download->BytesOnDisk() == 0;
    s.download_retrying = waiting && download->Retrying();
  }
  s.remote = kind_ == SourceKind::kHttpStream || kind_ == SourceKind::kQvod;
  s.loading = load_ == Load::kOpening || waiting;
  s.load_failed = load_ == Load::kFailed;
  s.eof_reached = session_.Flag("eof-reached");
  s.pause = session_.Flag("pause");
  s.paused_for_cache = session_.Flag("paused-for-cache");
  s.seeking = pending_seek_.has_value() || session_.Flag("seeking");
  return s;
}

int MpvPlayerControl::PlayState() const { return player::MapPlayState(Snapshot()); }

bool MpvPlayerControl::OpenFailed() const { return !url_.empty() && load_ == Load::kFailed; }

bool MpvPlayerControl::Mute() const { return session_.Flag("mute"); }

void MpvPlayerControl::SetMute(bool on) {
  if (!session_.Running()) session_.Remember("mute", on);  // set as mpv starts
  else if (session_.SetFlag("mute", on)) session_.Remember("mute", on);
  ShowFeedback(Feedback::kVolume);
}

bool MpvPlayerControl::FullScreen() const { return surface_ && surface_->IsFullScreen(); }

void MpvPlayerControl::SetFullScreen(bool on) {
  if (surface_) surface_->SetFullScreen(on);
}

void MpvPlayerControl::FollowFullScreen(bool on) {
  session_.SetString("osd-level", on ? "1" : "0");
  emit FullScreenChanged(on);
}

void MpvPlayerControl::ShowFeedback(Feedback what) {
  if (!session_.Running() || !FullScreen()) return;
  if (what == Feedback::kProgress) {
    // The bar and the time, with the pause state; both follow a seek under way.
    session_.CommandString("show-progress");
    return;
  }
  session_.CommandString("osd-bar add volume 0");
  const QByteArray text = Mute() ? QByteArrayLiteral("静音") : "音量：" + QByteArray::number(Volume()) + "%";
  session_.Command({"show-text", text.constData()});
}

int MpvPlayerControl::Volume() const {
  return std::clamp(static_cast<int>(std::lround(session_.Double("volume", 100))), 0, 100);
}

void MpvPlayerControl::SetVolume(int volume) {
  const double value = std::clamp(volume, 0, 100);
  if (!session_.Running()) session_.Remember("volume", value);  // set as mpv starts
  else if (session_.SetDouble("volume", value)) session_.Remember("volume", value);
  ShowFeedback(Feedback::kVolume);
}

int MpvPlayerControl::Duration() const {
  if (load_ == Load::kStopped || load_ == Load::kFailed) return 0;
  return static_cast<int>(std::max(0.0, std::floor(session_.Double("duration"))));
}

double MpvPlayerControl::ReportedSeconds() const {
  double seconds = pending_seek_ ? *pending_seek_ : session_.Double("time-pos");
  // time-pos can read a little past the end.
  const double duration = session_.Double("duration");
  if (duration > 0) seconds = std::min(seconds, duration);
  return std::max(0.0, seconds);
}

int MpvPlayerControl::Position() const {
  if (url_.empty() || load_ != Load::kOpened) return 0;
  const double seconds = ReportedSeconds();
  if (past_end_ && std::abs(seconds - past_end_->from) < kMovedOnSeconds) return past_end_->written;
  return static_cast<int>(std::floor(seconds));
}

void MpvPlayerControl::SetPosition(int seconds) {
  if (url_.empty() || !session_.Running() || load_ != Load::kOpened) return;
  past_end_.reset();
  const double duration = session_.Double("duration");
  // The control read a position written past the end back as written, and the
  // program relies on that to land two seconds before the end instead. mpv is not
  // sent there: it would finish the item before the correction arrives.
  if (duration > 0 && seconds > std::floor(duration)) {
    past_end_ = PastEnd{seconds, ReportedSeconds()};
    return;
  }
  const double target = std::max(0, seconds);
  const bool was_at_end = session_.Flag("eof-reached");
  // Already held at the end: seeking there again would put mpv back on the last
  // frame, paused but no longer at its end, and the item would never finish.
  if (was_at_end && duration > 0 && target >= std::floor(duration)) return;
  const QByteArray text = QByteArray::number(target, 'f', 3);
  if (!session_.Command({"seek", text.constData(), "absolute+exact"})) return;
  pending_seek_ = target;
  ShowFeedback(Feedback::kProgress);
  // keep-open paused mpv at the end; leaving the end by a seek plays on unless the
  // user had paused.
  if (was_at_end && !user_paused_ && target < std::floor(duration)) WritePause(false);
}

int MpvPlayerControl::BitRate() const {
  if (url_.empty() || load_ == Load::kStopped) return 0;
  const double bits = session_.Double("video-bitrate") + session_.Double("audio-bitrate");
  if (bits > 0) return static_cast<int>(bits / 1000);
  const double duration = session_.Double("duration");
  const double bytes = session_.Double("file-size");
  if (duration <= 0 || bytes <= 0) return 0;
  return static_cast<int>(bytes * 8 / duration / 1000);
}

bool MpvPlayerControl::Streaming() const {
  // A local file has nothing to download.
  return (kind_ == SourceKind::kHttpStream || kind_ == SourceKind::kQvod) && load_ != Load::kStopped;
}

int MpvPlayerControl::DownloadSpeed() const {
  if (QvodDownload* download = downloads_.Current()) return download->SpeedKilobytes();
  if (!Streaming()) return 0;
  return static_cast<int>(session_.Double("cache-speed") / 1024);
}

int MpvPlayerControl::DownloadProgress() const {
  if (QvodDownload* download = downloads_.Current()) return download->ProgressPerMille();
  if (!Streaming()) return 0;
  if (session_.Flag("eof-cached")) return 1000;
  const double cache_end = session_.Double("cache-end", -1);
  const double duration = session_.Double("duration");
  if (cache_end < 0 || duration <= 0) return 0;
  return std::clamp(static_cast<int>(cache_end / duration * 1000), 0, 1000);
}

void MpvPlayerControl::PrepareNext(const std::string& url) { downloads_.PrepareNext(url); }

void MpvPlayerControl::SetDownloadFolder(const std::string& folder) {
  // Without a portal qvod items stay refused; downloads under way keep their file.
  downloads_.SetFolder(folder);
}

void MpvPlayerControl::SetAdPageUrl(const std::string& url) {
  if (url == ad_page_url_) return;
  ad_page_url_ = url;
  emit AdPageUrlChanged();
}

}  // namespace tavlin
