#include "ui/shell/painting_http_client.h"

#include <QEventLoop>
#include <QMetaObject>
#include <thread>

namespace tavlin::ui {

std::optional<std::string> PaintingHttpClient::Get(const std::string& url) {
  gate_.BeforeWait();
  std::optional<std::string> answer;
  QEventLoop loop;
  std::thread worker([&] {
    answer = inner_.Get(url);
    // Queued: it reaches the loop even if the answer comes before the loop runs.
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  gate_.Wait(loop);
  worker.join();
  gate_.AfterWait();
  return answer;
}

}  // namespace tavlin::ui
