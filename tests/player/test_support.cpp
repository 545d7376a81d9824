#include "test_support.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <chrono>
#include <map>

namespace tavlin::test {

const QString& GeneratedClip(int seconds) {
  static std::map<int, QString> clips;
  static QTemporaryDir folder;
  auto found = clips.find(seconds);
  if (found != clips.end()) return found->second;
  const QString path = folder.path() + QString("/clip%1.mp4").arg(seconds);
  QProcess ffmpeg;
  ffmpeg.start("ffmpeg", {"-nostdin",  "-loglevel",
                          "error",     "-y",
                          "-f",        "lavfi",
                          "-i",        "testsrc=size=320x240:rate=25",
                          "-f",        "lavfi",
                          "-i",        "sine=frequency=440",
                          "-t",        QString::number(seconds),
                          "-c:v",      "libx264",
                          "-preset",   "ultrafast",
                          "-g",        "25",
                          "-pix_fmt",  "yuv420p",
                          "-c:a",      "aac",
                          "-movflags", "+faststart",
                          path});
  ffmpeg.waitForFinished(60000);
  EXPECT_EQ(ffmpeg.exitCode(), 0) << ffmpeg.readAllStandardError().toStdString();
  return clips[seconds] = path;
}

std::string ReadBytes(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll().toStdString();
}

bool WaitFor(const std::function<bool()>& done, int timeout_ms) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > timeout_ms) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(5);
  }
  return true;
}

void Spin(int ms) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < ms) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(5);
  }
}

SeedServer::SeedServer() {
  auto handler = [this](const httplib::Request& request, httplib::Response& response) {
    ++requests_;
    std::shared_ptr<const std::string> bytes;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      ranges_.push_back(request.get_header_value("Range"));
      auto found = items_.find(request.matches[1].str());
      if (found != items_.end()) bytes = found->second;
    }
    if (!bytes) {
      response.status = 404;
      return;
    }
    response.set_content_provider(bytes->size(), "video/mp4",
                                  [this, bytes](size_t offset, size_t length, httplib::DataSink& sink) {
                                    const size_t rate = rate_;
                                    // Throttled: a tenth of the rate every 100 ms.
                                    const size_t chunk = rate ? std::max<size_t>(rate / 10, 1) : length;
                                    const size_t n = std::min(length, chunk);
                                    if (!sink.write(bytes->data() + offset, n)) return false;
                                    if (rate) std::this_thread::sleep_for(std::chrono::milliseconds(100));
                                    return true;
                                  });
  };
  server_.Get(R"(/seed/(\w+))", handler);
  server_.Get(R"(/clip/(\w+)\.mp4)", handler);
  port_ = server_.bind_to_any_port("127.0.0.1");
  thread_ = std::thread([this] { server_.listen_after_bind(); });
}

SeedServer::~SeedServer() {
  server_.stop();
  thread_.join();
}

void SeedServer::Serve(const std::string& hash, std::string bytes) {
  std::lock_guard<std::mutex> lock(mutex_);
  items_[hash] = std::make_shared<const std::string>(std::move(bytes));
}

std::string SeedServer::Base() const { return "http://127.0.0.1:" + std::to_string(port_); }

std::vector<std::string> SeedServer::RangesSeen() {
  std::lock_guard<std::mutex> lock(mutex_);
  return ranges_;
}

std::string QvodUrl(size_t size, const std::string& hash, const std::string& name) {
  return "qvod://" + std::to_string(size) + "|" + hash + "|" + name + "|";
}

}  // namespace tavlin::test
