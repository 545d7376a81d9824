#include "ui/player/qvod_download.h"

#include <QDir>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <algorithm>

namespace tavlin {
namespace {
constexpr qint64 kSpeedWindowMs = 2000;
constexpr int kTransferTimeoutMs = 15000;
}  // namespace

QvodDownload::QvodDownload(QNetworkAccessManager* network, QUrl source, QString path,
                           qint64 size, QObject* parent)
    : QObject(parent), network_(network), source_(std::move(source)), path_(std::move(path)),
      size_(size), file_(path_) {
  retry_timer_.setSingleShot(true);
  retry_timer_.setInterval(kRetryDelayMs);
  connect(&retry_timer_, &QTimer::timeout, this, &QvodDownload::Request);
  clock_.start();
}

QvodDownload::~QvodDownload() {
  if (reply_) {
    reply_->disconnect(this);
    reply_->abort();
    reply_->deleteLater();
  }
}

void QvodDownload::Start() {
  QDir().mkpath(QFileInfo(path_).absolutePath());
  written_ = QFileInfo(path_).exists() ? QFileInfo(path_).size() : 0;
  // A file longer than the item is not this item: start over.
  const bool fresh = written_ > size_;
  if (!file_.open(fresh ? QIODevice::WriteOnly | QIODevice::Truncate
                        : QIODevice::ReadWrite)) {
    failed_ = true;
    emit GaveUp();
    return;
  }
  if (fresh) written_ = 0;
  file_.seek(written_);
  RecordSample();
  if (Complete()) {
    file_.close();
    emit Finished();
    return;
  }
  Request();
}

void QvodDownload::Request() {
  ++attempts_;
  reply_checked_ = false;
  QNetworkRequest request(source_);
  request.setTransferTimeout(kTransferTimeoutMs);
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                       QNetworkRequest::NoLessSafeRedirectPolicy);
  if (written_ > 0) {
    request.setRawHeader("Range", "bytes=" + QByteArray::number(written_) + "-");
  }
  reply_ = network_->get(request);
  connect(reply_, &QNetworkReply::readyRead, this, &QvodDownload::OnReadyRead);
  connect(reply_, &QNetworkReply::finished, this, &QvodDownload::OnReplyFinished);
}

void QvodDownload::OnReadyRead() {
  if (!reply_) return;
  const int status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  if (status != 200 && status != 206) return;  // the error body is not the item
  if (!reply_checked_) {
    reply_checked_ = true;
    if (status == 200 && written_ > 0) {
      // The seed ignored the range and sends the whole item again.
      file_.resize(0);
      file_.seek(0);
      written_ = 0;
    }
  }
  QByteArray data = reply_->readAll();
  // Never more than the announced size lands on disk.
  data.truncate(static_cast<qsizetype>(std::min<qint64>(data.size(), size_ - written_)));
  if (data.isEmpty()) return;
  if (file_.write(data) != data.size()) {
    reply_->abort();
    return;
  }
  file_.flush();  // mpv reads the file while it grows
  written_ += data.size();
  RecordSample();
  emit Progressed();
  if (Complete()) reply_->abort();
}

void QvodDownload::OnReplyFinished() {
  QNetworkReply* reply = reply_;
  if (!reply) return;
  reply_ = nullptr;
  reply->deleteLater();
  if (Complete()) {
    file_.close();
    emit Finished();
    return;
  }
  if (attempts_ >= kMaxAttempts) {
    file_.close();
    failed_ = true;
    emit GaveUp();
    return;
  }
  retry_timer_.start();
}

void QvodDownload::RecordSample() {
  const qint64 now = clock_.elapsed();
  samples_.emplace_back(now, written_);
  while (samples_.size() > 2 && samples_.front().first < now - kSpeedWindowMs) {
    samples_.pop_front();
  }
}

int QvodDownload::ProgressPerMille() const {
  if (size_ <= 0) return 0;
  return static_cast<int>(std::min<qint64>(1000, written_ * 1000 / size_));
}

int QvodDownload::SpeedKilobytes() {
  if (Complete() || failed_) return 0;
  RecordSample();
  const auto& [first_ms, first_bytes] = samples_.front();
  const auto& [last_ms, last_bytes] = samples_.back();
  const qint64 span = std::max<qint64>(last_ms - first_ms, 250);
  return static_cast<int>((last_bytes - first_bytes) * 1000 / span / 1024);
}

}  // namespace tavlin
