#include "ui/player/download_source.h"

#include <QNetworkAccessManager>
#include <optional>

#include "core/player/qvod_address.h"
#include "ui/player/qvod_download.h"
#include "ui/player/seed_address.h"

namespace tavlin {

using player::ClassifySource;
using player::ParseQvodAddress;
using player::QvodAddress;
using player::SourceKind;

namespace {
QString AsFolder(const std::string& folder) {
  QString dir = QString::fromStdString(folder);
  if (!dir.endsWith('/')) dir += '/';
  return dir;
}
}  // namespace

DownloadSource::DownloadSource(const std::string& portal_base, const std::string& download_folder, QObject* parent)
    : QObject(parent), network_(new QNetworkAccessManager(this)) {
  if (!download_folder.empty() && !portal_base.empty()) {
    folder_ = AsFolder(download_folder);
    seed_base_ = SeedBaseAddress(QString::fromStdString(portal_base));
  }
}

QString DownloadSource::Key(const std::string& url) const {
  const std::optional<QvodAddress> address = ParseQvodAddress(url);
  if (!address || folder_.isEmpty()) return {};
  return QString::fromStdString(address->hash) + '|' + QString::number(address->size);
}

void DownloadSource::SetCurrent(const std::string& url) {
  current_key_.clear();
  if (ClassifySource(url) == SourceKind::kQvod && DownloadFor(url)) current_key_ = Key(url);
  next_key_.clear();
  DropUnwatched();
}

QvodDownload* DownloadSource::Current() const {
  if (current_key_.isEmpty()) return nullptr;
  auto found = downloads_.find(current_key_);
  return found == downloads_.end() ? nullptr : found->second;
}

void DownloadSource::PrepareNext(const std::string& url) {
  // The result is not read.
  if (ClassifySource(url) != SourceKind::kQvod || !DownloadFor(url)) return;
  next_key_ = Key(url);
  DropUnwatched();
}

void DownloadSource::SetFolder(const std::string& folder) {
  if (folder_.isEmpty() || folder.empty()) return;
  folder_ = AsFolder(folder);
}

QvodDownload* DownloadSource::DownloadFor(const std::string& url) {
  const std::optional<QvodAddress> address = ParseQvodAddress(url);
  const QString key = Key(url);
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
  auto* download = new QvodDownload(network_, source, folder_, QString::fromStdString(address->name),
                                    QString::fromStdString(address->hash), address->size, this);
  downloads_[key] = download;
  connect(download, &QvodDownload::Progressed, this, [this, download] { emit Progressed(download); });
  connect(download, &QvodDownload::Finished, this, [this, download] { emit Progressed(download); });
  connect(download, &QvodDownload::GaveUp, this, [this, download] { emit GaveUp(download); });
  download->Start();
  return download;
}

void DownloadSource::DropUnwatched() {
  for (auto it = downloads_.begin(); it != downloads_.end();) {
    if (it->first == current_key_ || it->first == next_key_) {
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

void DownloadSource::KeepPartialNameWhileOpening(QvodDownload* download) {
  opening_partial_ = download;
  download->KeepPartialName(true);
}

void DownloadSource::ReleasePartialName() {
  if (QvodDownload* download = opening_partial_) {
    opening_partial_ = nullptr;
    download->KeepPartialName(false);
  }
}

qint64 DownloadSource::BytesOnDisk(const std::string& url) const {
  auto found = downloads_.find(Key(url));
  return found == downloads_.end() ? -1 : found->second->BytesOnDisk();
}

}  // namespace tavlin
