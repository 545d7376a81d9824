#pragma once
// Where qvod items come from: their downloads from the portal's seed folder into the
// download folder, one per item (by hash and size), kept for the item playing and
// the one prepared next.
#include <QObject>
#include <QPointer>
#include <QString>
#include <map>
#include <string>

class QNetworkAccessManager;

namespace tavlin {

class QvodDownload;

class DownloadSource : public QObject {
  Q_OBJECT

 public:
  // Without a download folder or a portal every qvod item is refused.
  DownloadSource(const std::string& portal_base, const std::string& download_folder, QObject* parent = nullptr);

  // A new item plays: its download when it is a qvod item (reused, or started), none
  // otherwise. The item prepared next belonged to the item before: a page's links
  // must not leave a download running for every item they started.
  void SetCurrent(const std::string& url);
  // The download of the item playing; null unless it is a storable qvod item.
  QvodDownload* Current() const;
  // Fetches a qvod item ahead; anything else has nothing to fetch.
  void PrepareNext(const std::string& url);
  // Later downloads go there; those under way keep their file. Ignored without a
  // portal, or for "".
  void SetFolder(const std::string& folder);
  // mpv has been asked to open `download`'s partial file: it keeps its name until
  // ReleasePartialName.
  void KeepPartialNameWhileOpening(QvodDownload* download);
  // The file being opened is open, or no longer wanted: a whole item held back may
  // take its name now.
  void ReleasePartialName();
  // Bytes of the qvod item at `url` on disk; -1 when unknown.
  qint64 BytesOnDisk(const std::string& url) const;

 signals:
  // New bytes of `download` are on disk, or all of them are.
  void Progressed(QvodDownload* download);
  // Every attempt of `download` failed.
  void GaveUp(QvodDownload* download);

 private:
  QString Key(const std::string& url) const;  // "" unless a storable qvod item
  QvodDownload* DownloadFor(const std::string& url);
  // Ends every download but those of the item playing and of the next one prepared.
  void DropUnwatched();

  QNetworkAccessManager* network_;
  QString folder_;  // ends in "/", "" when qvod items are refused
  QString seed_base_;
  // By hash and size, not by name: a file of the item's name may be anyone's.
  // Owned as children.
  std::map<QString, QvodDownload*> downloads_;
  // The download whose partial file mpv was last asked to open, until it has.
  QPointer<QvodDownload> opening_partial_;
  QString current_key_;  // "" unless the item playing is a qvod item
  QString next_key_;     // of the last PrepareNext, until another item plays
};

}  // namespace tavlin
