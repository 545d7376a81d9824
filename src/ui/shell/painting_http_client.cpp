#include "ui/shell/painting_http_client.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>
#include <thread>

namespace tavlin::ui {

std::optional<std::string> PaintingHttpClient::Get(const std::string& url) {
  if (beforeWait_) beforeWait_();
  std::optional<std::string> answer;
  QEventLoop loop;
  std::thread worker([&] {
    answer = inner_.Get(url);
    // Queued: it reaches the loop even if the answer comes before the loop runs.
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  ++waiting_;
  loop.exec(QEventLoop::ExcludeUserInputEvents);
  --waiting_;
  worker.join();
  if (afterWait_) QMetaObject::invokeMethod(qApp, afterWait_, Qt::QueuedConnection);
  return answer;
}

}  // namespace tavlin::ui
