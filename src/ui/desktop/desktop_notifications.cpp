#include "ui/desktop/desktop_notifications.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QImage>

namespace tavlin::ui {

namespace {
const QString kService = QStringLiteral("org.freedesktop.Notifications");
constexpr int kShownMilliseconds = 8000;
constexpr int kImageSize = 48;
}  // namespace

// The "image-data" hint: width, height, row stride, alpha, bits per sample,
// channels and the RGBA bytes.
struct ImageData {
  QImage image;
};

QDBusArgument& operator<<(QDBusArgument& out, const ImageData& data) {
  const QImage& i = data.image;
  out.beginStructure();
  out << i.width() << i.height() << static_cast<int>(i.bytesPerLine()) << true << 8 << 4
      << QByteArray(reinterpret_cast<const char*>(i.constBits()), static_cast<int>(i.sizeInBytes()));
  out.endStructure();
  return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, ImageData&) { return in; }
}  // namespace tavlin::ui

Q_DECLARE_METATYPE(tavlin::ui::ImageData)

namespace tavlin::ui {

bool DesktopNotifications::ServiceAvailable() {
  QDBusConnection bus = QDBusConnection::sessionBus();
  QDBusConnectionInterface* names = bus.isConnected() ? bus.interface() : nullptr;
  if (!names) return false;
  return names->isServiceRegistered(kService).value() || names->activatableServiceNames().value().contains(kService);
}

QString DesktopNotifications::EscapeBody(const QString& text) {
  QString out;
  out.reserve(text.size());
  for (const QChar c : text) {
    if (c == '&') {
      out += QStringLiteral("&amp;");
    } else if (c == '<') {
      out += QStringLiteral("&lt;");
    } else if (c == '>') {
      out += QStringLiteral("&gt;");
    } else {
      out += c;
    }
  }
  return out;
}

void DesktopNotifications::Show(const QString& title, const QString& text) {
  // Until the service has said which id the last one got, the next one waits (only
  // the latest), so that it replaces rather than adds.
  if (asking_) {
    waiting_ = std::pair{title, text};
    return;
  }
  Send(title, text);
}

void DesktopNotifications::Send(const QString& title, const QString& text) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return;
  QVariantMap hints{{QStringLiteral("desktop-entry"), QString::fromUtf8(kDesktopEntry)},
                    {QStringLiteral("urgency"), QVariant::fromValue(uchar{1})}};
  // An installed program's icon is found by name; a copy run from elsewhere sends
  // its picture.
  const QString iconName = QString::fromUtf8(kIconName);
  if (!QIcon::hasThemeIcon(iconName)) {
    qDBusRegisterMetaType<ImageData>();
    const QImage image = icon_.pixmap(kImageSize).toImage().convertToFormat(QImage::Format_RGBA8888);
    if (!image.isNull()) hints.insert(QStringLiteral("image-data"), QVariant::fromValue(ImageData{image}));
  }
  QDBusMessage notify = QDBusMessage::createMethodCall(kService, QStringLiteral("/org/freedesktop/Notifications"),
                                                       kService, QStringLiteral("Notify"));
  notify << QCoreApplication::applicationName() << lastId_ << iconName << title << EscapeBody(text) << QStringList()
         << hints << kShownMilliseconds;
  asking_ = true;
  auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(notify), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher] {
    watcher->deleteLater();
    asking_ = false;
    const QDBusMessage reply = watcher->reply();
    if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
      lastId_ = reply.arguments().first().toUInt();
    }
    if (waiting_) {
      const std::pair<QString, QString> next = *std::exchange(waiting_, std::nullopt);
      Send(next.first, next.second);
    }
  });
}

}  // namespace tavlin::ui
