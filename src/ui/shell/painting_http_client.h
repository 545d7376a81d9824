#pragma once
// A blocking request as the core needs it, while the window goes on painting: the
// request runs on a worker thread and the caller waits at the gate, which delivers no
// user input and holds back whatever else comes for the core (ui/shell/event_gate.h).
#include "platform/http_client.h"
#include "ui/shell/event_gate.h"

namespace tavlin::ui {

class PaintingHttpClient final : public HttpClient {
 public:
  PaintingHttpClient(HttpClient& inner, EventGate& gate) : inner_(inner), gate_(gate) {}
  std::optional<std::string> Get(const std::string& url) override;

 private:
  HttpClient& inner_;
  EventGate& gate_;
};

}  // namespace tavlin::ui
