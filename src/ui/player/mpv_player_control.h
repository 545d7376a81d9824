#pragma once
// The stand-in for the player control: libmpv behind the PlayerControl members. The
// control's face: what an item's load has come to and the control's quirks, over one
// mpv session (ui/player/mpv_session.h) and the qvod downloads
// (ui/player/download_source.h).
#include <QObject>
#include <QPointer>
#include <QSize>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/player/play_state.h"
#include "core/player/player_settings.h"
#include "core/player/qvod_address.h"
#include "platform/player_control.h"
#include "ui/player/download_source.h"
#include "ui/player/mpv_session.h"

class QWidget;

namespace tavlin {

class MpvVideoWindow;
class PlayerSurface;
class QvodDownload;

struct MpvPlayerOptions {
  // Tests: no picture, no sound (vo=null, ao=null). The surface stays black.
  bool null_output = false;
  // No sound only (machines without an audio device: CI, benchmarks).
  bool null_audio = false;
  // PortalBase ("http://127.0.0.1:47300/soft/"); qvod items come from the "/seed/"
  // folder of its origin.
  std::string portal_base;
  // Where qvod items are saved; the program reads it once from the settings file
  // (player::ReadSavePath). Without it, or without a portal, qvod items are refused.
  std::string download_folder;
  // mpv's message level ("v", "debug"...) to print its log; "" keeps it quiet.
  std::string mpv_log_level;
};

class MpvPlayerControl : public QObject, public PlayerControl {
  Q_OBJECT

 public:
  // Started at once; nothing when libmpv cannot be initialised.
  static std::unique_ptr<MpvPlayerControl> Create(MpvPlayerOptions options = {});
  // Not started yet: the picture can be placed and volume and mute written, and
  // mpv starts with Start, or with the first item at the latest.
  explicit MpvPlayerControl(MpvPlayerOptions options = {});
  ~MpvPlayerControl() override;

  // Starts mpv, once. False when it cannot: the control then plays nothing.
  bool Start();
  // Opens libmpv on a thread of its own, so that the window goes on meanwhile, and
  // then starts; `done` gets Start's answer.
  void StartInBackground(std::function<void(bool)> done);

  // The picture, for the window to place as the player area's video. Owned by the
  // window once parented; the control survives its loss.
  QWidget* VideoWidget() const;
  // mpv's GL view inside it; null without a picture.
  MpvVideoWindow* VideoView() const;
  // The idle ad page address, for the window to show while nothing plays.
  const std::string& AdPageUrl() const { return ad_page_url_; }
  // Bytes of the qvod item at `url` on disk (tests, diagnostics); -1 when unknown.
  qint64 DownloadedBytes(const std::string& url) const { return downloads_.BytesOnDisk(url); }
  // The size of the frames handed to the renderer (diagnostics); empty before one.
  QSize FrameSize() const { return session_.FrameSize(); }
  // The path mpv was last asked to open ("" before the first).
  const QString& OpenedPath() const { return opened_path_; }

  std::string Url() const override { return url_; }
  void SetUrl(const std::string& url) override;
  bool Mute() const override;
  void SetMute(bool on) override;
  bool FullScreen() const override;
  void SetFullScreen(bool on) override;
  int Volume() const override;
  void SetVolume(int volume) override;
  int Duration() const override;
  int DownloadSpeed() const override;
  int Position() const override;
  void SetPosition(int seconds) override;
  void Play() override;
  void Pause() override;
  void Stop() override;
  int PlayState() const override;
  bool OpenFailed() const override;
  int BitRate() const override;
  int DownloadProgress() const override;
  void PrepareNext(const std::string& url) override;
  void SetAdPageUrl(const std::string& url) override;
  void SetDownloadFolder(const std::string& folder) override;

 signals:
  void AdPageUrlChanged();
  // Playback began, or went on after a seek.
  void PlaybackStarted();
  // The picture went full screen (true) or came back.
  void FullScreenChanged(bool on);

 private:
  // Where the item written last stands. One at a time: a new item starts over.
  enum class Load {
    kNothing,          // no item yet
    kWaitingForBytes,  // qvod item: too little on disk for mpv to open yet
    kOpening,          // mpv was asked to open it and has not yet
    kOpened,           // mpv has it; mpv's own state says the rest
    kFailed,           // refused, missing, or mpv could not open it
    kStopped,          // Stop; Play opens it again
  };
  void LoadItem();
  void UnloadPrevious();
  void OpenInMpv(const QString& path);
  void OnFileLoaded(const QString& path);
  void OnFileFailed();
  void OnDownloadProgress(QvodDownload* download);
  void OnDownloadGaveUp(QvodDownload* download);
  player::PlayerSnapshot Snapshot() const;
  double ReportedSeconds() const;
  // An http(s) stream or a qvod item, not stopped: what mpv caches is a download.
  bool Streaming() const;
  // In full screen, where the window's bars are out of sight, mpv's on-screen bar and
  // message say what a key did.
  enum class Feedback { kProgress, kVolume };
  void ShowFeedback(Feedback what);
  void FollowFullScreen(bool on);
  // What the control last wrote of pause, read back until mpv reports it.
  void WritePause(bool on);

  MpvSession session_;
  DownloadSource downloads_;
  QPointer<PlayerSurface> surface_;
  QPointer<MpvVideoWindow> video_;

  std::string url_;
  player::SourceKind kind_ = player::SourceKind::kRejected;
  Load load_ = Load::kNothing;
  bool user_paused_ = false;
  std::string ad_page_url_;
  QString opened_path_;
  std::optional<double> pending_seek_;
  // A position written past the end, read back as written (for the program to
  // correct) until the next seek or load, or until playback has moved on from
  // where it was then.
  struct PastEnd {
    int written;
    double from;
  };
  std::optional<PastEnd> past_end_;
};

}  // namespace tavlin
