#pragma once
// Shared pieces of the player tests: generated clips, a seed server on loopback,
// a private home folder, waiting on the event loop.
#include <httplib.h>

#include <QString>
#include <QTemporaryDir>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tavlin::test {

// A faststart H.264/AAC clip of `seconds`, made once per process and size.
const QString& GeneratedClip(int seconds);
std::string ReadBytes(const QString& path);

// Spins the Qt event loop until `done` or the time-out; true when done.
bool WaitFor(const std::function<bool()>& done, int timeout_ms = 10000);
void Spin(int ms);

// A fresh folder for the life of the object; the download folder is its "Media/".
class TempHome {
 public:
  QString Path() const { return dir_.path() + "/"; }
  QString MediaFolder() const { return Path() + "Media/"; }

 private:
  QTemporaryDir dir_;
};

// cpp-httplib server on 127.0.0.1: /seed/<hash> and /clip/<name> serve registered
// bytes with ranges, at most `bytes_per_second` when throttled.
class SeedServer {
 public:
  SeedServer();
  ~SeedServer();
  void Serve(const std::string& hash, std::string bytes);
  void Throttle(size_t bytes_per_second) { rate_ = bytes_per_second; }
  std::string Base() const;  // http://127.0.0.1:PORT
  std::string PortalBase() const { return Base() + "/soft/"; }
  std::vector<std::string> RangesSeen();
  int RequestsSeen() const { return requests_; }

 private:
  httplib::Server server_;
  std::thread thread_;
  int port_ = 0;
  std::mutex mutex_;
  std::map<std::string, std::shared_ptr<const std::string>> items_;
  std::vector<std::string> ranges_;
  std::atomic<size_t> rate_{0};
  std::atomic<int> requests_{0};
};

// "qvod://size|hash|name|"
std::string QvodUrl(size_t size, const std::string& hash, const std::string& name);

}  // namespace tavlin::test
