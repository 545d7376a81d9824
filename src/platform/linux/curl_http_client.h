#pragma once
#include <cstddef>

#include "platform/http_client.h"

namespace tavlin {

// Blocking GET through libcurl with a time-out and a cap on the answer's size: a
// longer answer comes back cut at the cap.
class CurlHttpClient final : public HttpClient {
 public:
  explicit CurlHttpClient(long timeoutMs = 15000, size_t maxBytes = 4 * 1024 * 1024)
      : timeoutMs_(timeoutMs), maxBytes_(maxBytes) {}
  std::optional<std::string> Get(const std::string& url) override;

 private:
  long timeoutMs_;
  size_t maxBytes_;
};

}  // namespace tavlin
