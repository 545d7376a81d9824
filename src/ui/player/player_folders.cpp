#include "ui/player/player_folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QUrl>

#include "core/base/program_folder.h"
#include "core/base/endpoints.h"

namespace tavlin {
namespace {

QString WithSlash(QString folder) {
  if (!folder.endsWith('/')) folder += '/';
  return folder;
}

}  // namespace

QString PlayerProgramFolder() {
  const ProgramFolder folder =
      LocateProgramFolder(QCoreApplication::applicationDirPath().toStdString());
  return WithSlash(QString::fromStdString(folder.dir));
}

QString PlayerQvodFolder() { return PlayerProgramFolder() + "Qvod/"; }

QString DownloadFolder() {
  const QString fallback = WithSlash(QDir::homePath() + "/Media");
  const QString xml_path = PlayerQvodFolder() + "QvodPlayer.xml";
  QFile xml(xml_path);
  if (!xml.exists()) {
    QDir().mkpath(PlayerQvodFolder());
    if (xml.open(QIODevice::WriteOnly)) {
      xml.write(QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                               "<QvodPlayer>\r\n<Setting Defaultsavepath=\"%1\" />\r\n"
                               "</QvodPlayer>\r\n")
                    .arg(fallback)
                    .toUtf8());
    }
    return fallback;
  }
  if (!xml.open(QIODevice::ReadOnly)) return fallback;
  static const QByteArray kMark = "Defaultsavepath=\"";
  while (!xml.atEnd()) {
    const QByteArray line = xml.readLine();
    const qsizetype start = line.indexOf(kMark);
    if (start < 0) continue;
    const qsizetype from = start + kMark.size();
    const qsizetype end = line.indexOf('"', from);
    if (end < 0) return fallback;
    QString folder = QString::fromUtf8(line.mid(from, end - from)).trimmed();
    // A path kept in the Windows form from an older settings file.
    folder.replace('\\', '/');
    if (folder.isEmpty() || !QDir::isAbsolutePath(folder)) return fallback;
    return WithSlash(folder);
  }
  return fallback;
}

QString PortalBaseAddress() { return QString::fromStdString(DefaultPortalBase()); }

QString SeedBaseAddress(const QString& portal_base) {
  const QUrl base(portal_base);
  QString origin = base.scheme() + "://" + base.host();
  if (base.port() != -1) origin += ':' + QString::number(base.port());
  return origin + "/seed/";
}

}  // namespace tavlin
