#pragma once
// The stand-in for the player control: libmpv behind the PlayerControl members.
#include <QObject>
#include <QPointer>
#include <QSize>
#include <QTimer>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "core/player/play_state.h"
#include "core/player/player_settings.h"
#include "platform/player_control.h"

struct mpv_handle;
class QNetworkAccessManager;
class QThread;
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
  qint64 DownloadedBytes(const std::string& url) const;
  // The size of the frames handed to the renderer (diagnostics); empty before one.
  QSize FrameSize() const;
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
  void DrainEvents();
  void ScaleBeforeDrawing();
  void Load();
  void UnloadPrevious();
  void OpenInMpv(const QString& path);
  void UseVideoOutput(const char* name);
  void OnDownloadProgress(QvodDownload* download);
  QvodDownload* DownloadFor(const std::string& url);
  QvodDownload* CurrentDownload() const;
  // Ends every download but those of the item playing and of the next one prepared.
  void DropUnwatchedDownloads();
  void ReleasePartialName();
  player::PlayerSnapshot Snapshot() const;
  QString DownloadKey(const std::string& url) const;  // "" unless a storable qvod item
  // mpv's values as last reported (flags as 0 or 1); missing while unavailable.
  double DoubleProperty(const char* name, double fallback = 0) const;
  void Note(const std::string& name, int format, void* data);
  void ReadAll();
  double ReportedSeconds() const;
  bool FlagProperty(const char* name) const;
  // In full screen, where the window's bars are out of sight, mpv's on-screen bar and
  // message say what a key did.
  enum class Feedback { kProgress, kVolume };
  void ShowFeedback(Feedback what);
  void FollowFullScreen(bool on);

  mpv_handle* mpv_ = nullptr;  // null until started
  bool start_failed_ = false;
  QThread* loader_ = nullptr;
  MpvPlayerOptions options_;
  QString download_folder_;  // ends in "/", "" when qvod items are refused
  QString seed_base_;
  QPointer<PlayerSurface> surface_;
  QPointer<MpvVideoWindow> video_;
  // Where GL draws on the CPU, frames are scaled to the picture's size before drawing.
  QTimer fit_timer_;
  QSize fit_size_;
  QNetworkAccessManager* network_;
  // By hash and size, not by name: a file of the item's name may be anyone's.
  // Owned as children.
  std::map<QString, QvodDownload*> downloads_;
  // The download whose partial file mpv was last asked to open, until it has.
  QPointer<QvodDownload> opening_partial_;

  std::map<std::string, double, std::less<>> seen_;
  std::string url_;
  std::string ad_page_url_;
  QString opened_path_;
  QString current_download_key_;  // "" unless Url is a qvod item
  QString next_download_key_;     // of the last PrepareNext, until another item plays
  bool accepted_ = false;
  bool remote_ = false;
  bool loading_ = false;
  bool waiting_for_bytes_ = false;
  bool load_failed_ = false;
  bool stopped_ = false;
  bool user_paused_ = false;
  std::optional<double> pending_seek_;
  // A position written past the end, read back as written (for the program to
  // correct) until the next seek or load, or until playback has moved on from
  // where it was then.
  struct PastEnd {
    int written;
    double from;
  };
  std::optional<PastEnd> past_end_;
  uint64_t load_request_ = 0;
  int64_t current_entry_ = -1;
};

}  // namespace tavlin
