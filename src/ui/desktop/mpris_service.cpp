#include "ui/desktop/mpris_service.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QUrl>

namespace tavlin::ui {

namespace {
const QString kObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");

QString Q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

MprisService::MprisService(desktop::MediaRemote& remote, std::function<void(std::function<void()>)> dispatch,
                           QObject* parent)
    : QObject(parent), remote_(remote), dispatch_(std::move(dispatch)) {
  new RootAdaptor(this);
  player_ = new PlayerAdaptor(this);
}

MprisService::~MprisService() {
  if (name_.isEmpty()) return;
  QDBusConnection bus = QDBusConnection::sessionBus();
  bus.unregisterObject(kObjectPath);
  bus.unregisterService(name_);
}

bool MprisService::Register() {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return false;
  if (!bus.registerObject(kObjectPath, this)) return false;
  // A second program of the same user (another program folder) takes a name of its own.
  QString name = QStringLiteral("org.mpris.MediaPlayer2.tavlin");
  if (!bus.registerService(name)) {
    name += QStringLiteral(".instance%1").arg(QCoreApplication::applicationPid());
    if (!bus.registerService(name)) {
      bus.unregisterObject(kObjectPath);
      return false;
    }
  }
  name_ = name;
  remote_.Refresh();
  return true;
}

void MprisService::Run(std::function<void(desktop::MediaRemote&)> command) {
  dispatch_([this, command = std::move(command)] { command(remote_); });
}

QVariantMap MprisService::Metadata() const {
  const desktop::MediaStatus& s = remote_.status();
  QVariantMap map;
  map.insert(QStringLiteral("mpris:trackid"),
             QVariant::fromValue(QDBusObjectPath(Q(s.trackId.empty() ? desktop::kNoTrack : s.trackId))));
  if (s.trackId.empty()) return map;
  map.insert(QStringLiteral("mpris:length"), qlonglong{s.lengthUs});
  map.insert(QStringLiteral("xesam:title"), Q(s.title));
  if (!s.url.empty()) map.insert(QStringLiteral("xesam:url"), Q(s.url));
  return map;
}

void MprisService::Refresh() {
  if (name_.isEmpty()) return;
  const std::vector<std::string> changed = remote_.Refresh();
  if (const std::optional<int64_t> jump = remote_.TakeSeek()) emit player_->Seeked(qlonglong{*jump});
  if (changed.empty()) return;
  QVariantMap values;
  for (const std::string& name : changed) {
    const QByteArray property = QByteArray::fromStdString(name);
    values.insert(Q(name), player_->property(property.constData()));
  }
  QDBusMessage signal = QDBusMessage::createSignal(kObjectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                   QStringLiteral("PropertiesChanged"));
  signal << kPlayerInterface << values << QStringList();
  QDBusConnection::sessionBus().send(signal);
}

// --- root ---

RootAdaptor::RootAdaptor(MprisService* service) : QDBusAbstractAdaptor(service), service_(service) {}

QStringList RootAdaptor::SupportedUriSchemes() const { return {QStringLiteral("file")}; }

QStringList RootAdaptor::SupportedMimeTypes() const {
  return {QStringLiteral("video/mp4"),
          QStringLiteral("video/x-matroska"),
          QStringLiteral("video/webm"),
          QStringLiteral("video/x-msvideo"),
          QStringLiteral("video/x-flv"),
          QStringLiteral("video/mpeg"),
          QStringLiteral("video/x-ms-wmv"),
          QStringLiteral("application/vnd.rn-realmedia"),
          QStringLiteral("application/vnd.rn-realmedia-vbr"),
          QStringLiteral("audio/mpeg"),
          QStringLiteral("audio/x-ms-wma"),
          QStringLiteral("audio/midi"),
          QStringLiteral("audio/x-wav")};
}

void RootAdaptor::Raise() {
  service_->Run([](desktop::MediaRemote& r) { r.Raise(); });
}
void RootAdaptor::Quit() {
  service_->Run([](desktop::MediaRemote& r) { r.Quit(); });
}

// --- player ---

PlayerAdaptor::PlayerAdaptor(MprisService* service) : QDBusAbstractAdaptor(service), service_(service) {}

QString PlayerAdaptor::PlaybackStatus() const { return Q(service_->remote().status().playbackStatus); }
double PlayerAdaptor::Volume() const { return service_->remote().status().volume; }
bool PlayerAdaptor::CanGoNext() const { return service_->remote().status().canGoNext; }
bool PlayerAdaptor::CanGoPrevious() const { return service_->remote().status().canGoPrevious; }
bool PlayerAdaptor::CanPlay() const { return service_->remote().status().canPlay; }
bool PlayerAdaptor::CanSeek() const { return service_->remote().status().canSeek; }

// Read when asked, not from the last poll: the desktop interpolates from here.
qlonglong PlayerAdaptor::Position() const { return qlonglong{service_->remote().PositionNowUs()}; }

void PlayerAdaptor::SetVolume(double volume) {
  service_->Run([volume](desktop::MediaRemote& r) { r.SetVolume(volume); });
}

void PlayerAdaptor::PlayPause() {
  service_->Run([](desktop::MediaRemote& r) { r.PlayPause(); });
}
void PlayerAdaptor::Play() {
  service_->Run([](desktop::MediaRemote& r) { r.Play(); });
}
void PlayerAdaptor::Pause() {
  service_->Run([](desktop::MediaRemote& r) { r.Pause(); });
}
void PlayerAdaptor::Stop() {
  service_->Run([](desktop::MediaRemote& r) { r.Stop(); });
}
void PlayerAdaptor::Next() {
  service_->Run([](desktop::MediaRemote& r) { r.Next(); });
}
void PlayerAdaptor::Previous() {
  service_->Run([](desktop::MediaRemote& r) { r.Previous(); });
}

void PlayerAdaptor::Seek(qlonglong offset) {
  service_->Run([offset](desktop::MediaRemote& r) { r.Seek(offset); });
}

void PlayerAdaptor::SetPosition(const QDBusObjectPath& trackId, qlonglong position) {
  const std::string track = trackId.path().toStdString();
  service_->Run([track, position](desktop::MediaRemote& r) { r.SetPosition(track, position); });
}

void PlayerAdaptor::OpenUri(const QString& uri) {
  const QUrl url(uri);
  // Files of this machine only: an address from the bus is not a page to play.
  if (!url.isLocalFile()) return;
  const std::string path = url.toLocalFile().toStdString();
  service_->Run([path](desktop::MediaRemote& r) { r.OpenFile(path); });
}

}  // namespace tavlin::ui
