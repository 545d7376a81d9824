#pragma once
// One qvod:// item fetched from the seed into the download folder. The bytes go to a
// hidden partial file of the program's own, named after the item's hash and size, so
// mpv can play it meanwhile (appending://) and a later start resumes it. Only once it
// is whole does it take its name, and then only a name nothing else holds: the name a
// page gave may be that of any file of the user's.
#include <QElapsedTimer>
#include <QFile>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <deque>
#include <sys/types.h>

class QNetworkAccessManager;
class QNetworkReply;

namespace tavlin {

class QvodDownload : public QObject {
  Q_OBJECT

 public:
  // `folder` ends in "/"; `name` is a bare, unhidden file name.
  QvodDownload(QNetworkAccessManager* network, QUrl source, QString folder, QString name, const QString& hash,
               qint64 size, QObject* parent = nullptr);
  ~QvodDownload() override;

  void Start();
  // Ends the download for good, nobody wanting the item any more: an unfinished
  // partial file goes with it, if it is still the one this download wrote. A whole
  // item stays (placed under its name if it was held back).
  void Abandon();

  // The partial file until the item is whole and placed, then the placed file.
  const QString& path() const { return path_; }
  // The file this download wrote is still at path(), and whole once Complete.
  bool StillOnDisk() const;
  // While mpv has been asked to open the partial file but has not yet, it must keep
  // its name: a whole item is placed only once this is released.
  void KeepPartialName(bool keep);
  qint64 size() const { return size_; }
  qint64 BytesOnDisk() const { return written_; }
  bool Complete() const { return written_ >= size_; }
  bool Failed() const { return failed_; }
  bool Retrying() const { return retry_timer_.isActive(); }
  int ProgressPerMille() const;
  // Kilobytes per second over the last two seconds; 0 once complete.
  int SpeedKilobytes();

  static constexpr int kMaxAttempts = 5;
  static constexpr int kRetryDelayMs = 2000;

 signals:
  void Progressed();  // new bytes are on disk
  void Finished();    // the whole item is on disk
  void GaveUp();      // every attempt failed

 private:
  bool OpenPartial();
  void Request();
  void OnReadyRead();
  void OnReplyFinished();
  void Finish();
  void Place();
  void GiveUp();
  void RecordSample();

  QNetworkAccessManager* network_;
  QUrl source_;
  QString folder_;
  QString name_;
  QString partial_stem_;
  QString path_;
  qint64 size_;
  QFile file_;
  // The partial file's identity, to know it again by path after closing it.
  dev_t device_ = 0;
  ino_t inode_ = 0;
  qint64 written_ = 0;
  QPointer<QNetworkReply> reply_;
  bool reply_checked_ = false;
  int attempts_ = 0;
  bool failed_ = false;
  bool finished_ = false;
  bool placed_ = false;
  bool keep_partial_name_ = false;
  QTimer retry_timer_;
  QElapsedTimer clock_;
  std::deque<std::pair<qint64, qint64>> samples_;  // (ms, bytes written)
};

}  // namespace tavlin
