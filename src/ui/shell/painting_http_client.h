#pragma once
// A blocking request as the core needs it, while the window goes on painting: the
// request runs on a worker thread and the caller waits in a local event loop that
// delivers no user input. Whatever else arrives meanwhile for the core is held back
// by MainWindow::Dispatch until the handler that asked has returned.
#include <functional>

#include "platform/http_client.h"

namespace tavlin::ui {

class PaintingHttpClient final : public HttpClient {
 public:
  explicit PaintingHttpClient(HttpClient& inner) : inner_(inner) {}
  // Runs before each wait: the window shows what the handler has done so far (the
  // status text, the player's view).
  void SetBeforeWait(std::function<void()> show) { beforeWait_ = std::move(show); }
  // Runs from the event loop after each wait: a request made outside a handler has
  // no handler whose return releases what was held meanwhile.
  void SetAfterWait(std::function<void()> release) { afterWait_ = std::move(release); }
  std::optional<std::string> Get(const std::string& url) override;
  // A request is waiting: the core must not be entered meanwhile.
  static bool Waiting() { return waiting_ > 0; }

 private:
  static inline int waiting_ = 0;
  HttpClient& inner_;
  std::function<void()> beforeWait_;
  std::function<void()> afterWait_;
};

}  // namespace tavlin::ui
