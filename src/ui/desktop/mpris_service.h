#pragma once
// The player on the session bus as the desktop's media remote protocol wants it
// (org.mpris.MediaPlayer2, with its Player interface): media keys and the panel's
// player controls. It only translates: what the properties hold and what the
// methods do is the core's MediaRemote, run through the window's dispatch.
#include <QDBusAbstractAdaptor>
#include <QDBusObjectPath>
#include <QObject>
#include <QStringList>
#include <QVariantMap>
#include <functional>

#include "core/desktop/media_remote.h"
#include "ui/desktop/desktop_notifications.h"

namespace tavlin::ui {

class MprisService : public QObject {
  Q_OBJECT

 public:
  // dispatch runs a core call the way input does (the window is mirrored after it).
  MprisService(desktop::MediaRemote& remote, std::function<void(std::function<void()>)> dispatch,
               QObject* parent = nullptr);
  ~MprisService() override;

  // Claims the player's name on the session bus; false (and nothing else changes)
  // when there is no session bus or the name cannot be had.
  bool Register();
  // The core ran: changed properties are announced.
  void Refresh();

  desktop::MediaRemote& remote() { return remote_; }
  void Run(std::function<void(desktop::MediaRemote&)> command);
  QVariantMap Metadata() const;

 private:
  desktop::MediaRemote& remote_;
  std::function<void(std::function<void()>)> dispatch_;
  class PlayerAdaptor* player_;
  QString name_;
};

class RootAdaptor : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
  Q_PROPERTY(bool CanQuit READ CanQuit)
  Q_PROPERTY(bool CanRaise READ CanRaise)
  Q_PROPERTY(bool HasTrackList READ HasTrackList)
  Q_PROPERTY(QString Identity READ Identity)
  Q_PROPERTY(QString DesktopEntry READ DesktopEntry)
  Q_PROPERTY(QStringList SupportedUriSchemes READ SupportedUriSchemes)
  Q_PROPERTY(QStringList SupportedMimeTypes READ SupportedMimeTypes)

 public:
  explicit RootAdaptor(MprisService* service);
  bool CanQuit() const { return true; }
  bool CanRaise() const { return true; }
  bool HasTrackList() const { return false; }
  QString Identity() const { return QStringLiteral("Tavlin"); }
  QString DesktopEntry() const { return QString::fromUtf8(kDesktopEntry); }
  QStringList SupportedUriSchemes() const;
  QStringList SupportedMimeTypes() const;

 public slots:
  void Raise();
  void Quit();

 private:
  MprisService* service_;
};

class PlayerAdaptor : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
  Q_PROPERTY(QString PlaybackStatus READ PlaybackStatus)
  Q_PROPERTY(double Rate READ Rate WRITE SetRate)
  Q_PROPERTY(double MinimumRate READ Rate)
  Q_PROPERTY(double MaximumRate READ Rate)
  Q_PROPERTY(QVariantMap Metadata READ Metadata)
  Q_PROPERTY(double Volume READ Volume WRITE SetVolume)
  Q_PROPERTY(qlonglong Position READ Position)
  Q_PROPERTY(bool CanGoNext READ CanGoNext)
  Q_PROPERTY(bool CanGoPrevious READ CanGoPrevious)
  Q_PROPERTY(bool CanPlay READ CanPlay)
  Q_PROPERTY(bool CanPause READ CanPlay)
  Q_PROPERTY(bool CanSeek READ CanSeek)
  Q_PROPERTY(bool CanControl READ CanControl)

 public:
  explicit PlayerAdaptor(MprisService* service);
  QString PlaybackStatus() const;
  double Rate() const { return 1.0; }
  void SetRate(double) {}  // one speed only
  QVariantMap Metadata() const { return service_->Metadata(); }
  double Volume() const;
  void SetVolume(double volume);
  qlonglong Position() const;
  bool CanGoNext() const;
  bool CanGoPrevious() const;
  bool CanPlay() const;
  bool CanSeek() const;
  bool CanControl() const { return true; }

 public slots:
  void PlayPause();
  void Play();
  void Pause();
  void Stop();
  void Next();
  void Previous();
  void Seek(qlonglong offset);
  void SetPosition(const QDBusObjectPath& trackId, qlonglong position);
  void OpenUri(const QString& uri);

 signals:
  void Seeked(qlonglong position);

 private:
  MprisService* service_;
  friend class MprisService;
};

}  // namespace tavlin::ui
