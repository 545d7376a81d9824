#include "platform/linux/curl_http_client.h"

#include <curl/curl.h>

namespace tavlin {
namespace {

struct Sink {
  std::string body;
  size_t cap = 0;
  bool overflow = false;
};

size_t Collect(char* data, size_t size, size_t count, void* user) {
  auto* sink = static_cast<Sink*>(user);
  const size_t n = size * count;
  if (sink->body.size() + n > sink->cap) {
    // Cut off at the cap: the caller sees an answer too long to be meant.
    sink->body.append(data, sink->cap - sink->body.size());
    sink->overflow = true;
    return 0;  // makes curl stop with a write error
  }
  sink->body.append(data, n);
  return n;
}

}  // namespace

std::optional<std::string> CurlHttpClient::Get(const std::string& url) {
  static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  if (!initialised) return std::nullopt;
  CURL* curl = curl_easy_init();
  if (!curl) return std::nullopt;
  Sink sink;
  sink.cap = maxBytes_;
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, timeoutMs_);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, Collect);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);
  const CURLcode rc = curl_easy_perform(curl);
  long status = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  curl_easy_cleanup(curl);
  if ((rc != CURLE_OK && !sink.overflow) || status < 200 || status >= 300) return std::nullopt;
  return std::move(sink.body);
}

}  // namespace tavlin
