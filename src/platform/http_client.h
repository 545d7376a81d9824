#pragma once
// Blocking portal requests. A failure (no connection, time-out, HTTP error status)
// is "no answer": callers treat it as their failure case. An answer over the
// client's size cap comes back cut at the cap.
#include <optional>
#include <string>

namespace tavlin {

class HttpClient {
 public:
  virtual ~HttpClient() = default;
  virtual std::optional<std::string> Get(const std::string& url) = 0;
};

}  // namespace tavlin
