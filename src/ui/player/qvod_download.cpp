#include "ui/player/qvod_download.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace tavlin {
namespace {
constexpr qint64 kSpeedWindowMs = 2000;
constexpr int kTransferTimeoutMs = 15000;
// Partial names tried in turn when one is held by something not ours.
constexpr int kPartialNames = 4;
// "name (999).ext" is the last variant tried before the item stays under its
// partial name.
constexpr int kNameVariants = 999;

// Hidden, so the user's folder does not fill with half items, and made from a
// digest: a hash of any length fits a file name, and items differing only in the
// case of their hash stay apart on filesystems that ignore case.
QString PartialStem(const QString& hash, qint64 size) {
  const QByteArray key = (hash + '|' + QString::number(size)).toUtf8();
  return ".tavlin-" + QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex());
}

QString PartialPath(const QString& folder, const QString& stem, int n) {
  return folder + stem + (n == 1 ? QString() : QStringLiteral("-%1").arg(n)) + ".part";
}

// What an earlier run of the program leaves at its partial name: a plain file of
// this user's, with no second name through which it would be someone else's file,
// and never longer than the item.
bool LooksLikeOwnPartial(const struct stat& info, qint64 size) {
  return S_ISREG(info.st_mode) && info.st_uid == ::geteuid() && info.st_nlink == 1 && info.st_size <= size;
}

QString NameVariant(const QString& name, int n) {
  if (n == 1) return name;
  const qsizetype dot = name.lastIndexOf('.');
  const qsizetype cut = dot > 0 ? dot : name.size();
  return name.left(cut) + QStringLiteral(" (%1)").arg(n) + name.mid(cut);
}

// Never replaces what is at `to`, even if it appeared a moment ago: false with
// errno EEXIST when the name is taken.
bool RenameIfFree(const QByteArray& from, const QByteArray& to) {
  if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return false;
  // Filesystems without that rename (NFS): a hard link is refused on a taken name too.
  if (::link(from.constData(), to.constData()) != 0) return false;
  ::unlink(from.constData());
  return true;
}

}  // namespace

QvodDownload::QvodDownload(QNetworkAccessManager* network, QUrl source, QString folder, QString name,
                           const QString& hash, qint64 size, QObject* parent)
    : QObject(parent),
      network_(network),
      source_(std::move(source)),
      folder_(std::move(folder)),
      name_(std::move(name)),
      partial_stem_(PartialStem(hash, size)),
      path_(PartialPath(folder_, partial_stem_, 1)),
      size_(size) {
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
  QDir().mkpath(folder_);
  if (!OpenPartial()) {
    GiveUp();
    return;
  }
  file_.seek(written_);
  RecordSample();
  if (Complete()) {
    Finish();
    return;
  }
  Request();
}

bool QvodDownload::OpenPartial() {
  for (int n = 1; n <= kPartialNames; ++n) {
    const QString path = PartialPath(folder_, partial_stem_, n);
    const QByteArray native = QFile::encodeName(path);
    struct stat seen {};
    int fd = -1;
    if (::lstat(native.constData(), &seen) == 0) {
      if (!LooksLikeOwnPartial(seen, size_)) continue;
      // Non-blocking: should the name turn into a pipe before the open, the open
      // must not hang (it is refused just below).
      fd = ::open(native.constData(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    } else if (errno == ENOENT) {
      fd = ::open(native.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    }
    if (fd < 0) continue;
    // Checked again on what was opened, since the name may have changed meanwhile;
    // the lock keeps a second download of the item (another instance) off it.
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || !LooksLikeOwnPartial(opened, size_) || ::flock(fd, LOCK_EX | LOCK_NB) != 0 ||
        ::fcntl(fd, F_SETFL, 0) != 0 /* blocking again */ ||
        !file_.open(fd, QIODevice::ReadWrite, QFileDevice::AutoCloseHandle)) {
      ::close(fd);
      continue;
    }
    path_ = path;
    device_ = opened.st_dev;
    inode_ = opened.st_ino;
    written_ = opened.st_size;
    return true;
  }
  return false;
}

bool QvodDownload::StillOnDisk() const {
  struct stat info {};
  if (inode_ == 0 || ::lstat(QFile::encodeName(path_).constData(), &info) != 0) return false;
  return S_ISREG(info.st_mode) && info.st_dev == device_ && info.st_ino == inode_ &&
         (!Complete() || info.st_size == size_);
}

void QvodDownload::KeepPartialName(bool keep) {
  keep_partial_name_ = keep;
  if (!keep && finished_) Place();
}

void QvodDownload::Finish() {
  if (finished_) return;
  finished_ = true;
  file_.close();
  if (!keep_partial_name_) Place();
  emit Finished();
}

void QvodDownload::Place() {
  if (placed_) return;
  placed_ = true;
  // Whatever now holds the partial name is not ours to give the item's name.
  if (!StillOnDisk()) return;
  const QByteArray from = QFile::encodeName(path_);
  for (int n = 1; n <= kNameVariants; ++n) {
    const QString target = folder_ + NameVariant(name_, n);
    if (RenameIfFree(from, QFile::encodeName(target))) {
      path_ = target;
      return;
    }
    // Anything but a taken name (too long, read-only...) leaves the item where it
    // is, still playable from there.
    if (errno != EEXIST) return;
  }
}

void QvodDownload::Abandon() {
  retry_timer_.stop();
  if (reply_) {
    reply_->disconnect(this);
    reply_->abort();
    reply_->deleteLater();
    reply_ = nullptr;
  }
  if (Complete()) {
    KeepPartialName(false);
  } else if (StillOnDisk()) {
    ::unlink(QFile::encodeName(path_).constData());
  }
  file_.close();
  failed_ = true;
}

void QvodDownload::GiveUp() {
  // An empty partial file is no start worth keeping.
  if (file_.isOpen() && written_ == 0 && StillOnDisk()) ::unlink(QFile::encodeName(path_).constData());
  file_.close();
  failed_ = true;
  emit GaveUp();
}

void QvodDownload::Request() {
  ++attempts_;
  reply_checked_ = false;
  QNetworkRequest request(source_);
  request.setTransferTimeout(kTransferTimeoutMs);
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
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
  if (Complete()) {
    // Placed before anyone hears of it, so a whole item is opened under its final
    // name and never under the partial one just as that goes away.
    reply_->abort();
    Finish();
    return;
  }
  emit Progressed();
}

void QvodDownload::OnReplyFinished() {
  QNetworkReply* reply = reply_;
  if (!reply) return;
  reply_ = nullptr;
  reply->deleteLater();
  if (Complete()) {
    Finish();
    return;
  }
  if (attempts_ >= kMaxAttempts) {
    GiveUp();
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
