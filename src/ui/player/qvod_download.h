#pragma once
// One qvod:// item fetched from the seed into the download folder. The file is
// written under its final name as the bytes arrive, so mpv can play it meanwhile
// (appending://) and a later start resumes from what is on disk.
#include <QElapsedTimer>
#include <QFile>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <deque>

class QNetworkAccessManager;
class QNetworkReply;

namespace tavlin {

class QvodDownload : public QObject {
  Q_OBJECT

 public:
  QvodDownload(QNetworkAccessManager* network, QUrl source, QString path, qint64 size,
               QObject* parent = nullptr);
  ~QvodDownload() override;

  void Start();

  const QString& path() const { return path_; }
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
  void Request();
  void OnReadyRead();
  void OnReplyFinished();
  void RecordSample();

  QNetworkAccessManager* network_;
  QUrl source_;
  QString path_;
  qint64 size_;
  QFile file_;
  qint64 written_ = 0;
  QPointer<QNetworkReply> reply_;
  bool reply_checked_ = false;
  int attempts_ = 0;
  bool failed_ = false;
  QTimer retry_timer_;
  QElapsedTimer clock_;
  std::deque<std::pair<qint64, qint64>> samples_;  // (ms, bytes written)
};

}  // namespace tavlin
