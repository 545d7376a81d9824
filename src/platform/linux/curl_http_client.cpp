#include "platform/linux/curl_http_client.h"

#include <curl/curl.h>
#include <dlfcn.h>

#include <mutex>
#include <type_traits>

namespace tavlin {
namespace {

// libcurl is opened at the first request, not by the loader at start: with its TLS,
// LDAP, SSH and IDN libraries it is some twenty libraries and 9 ms before main() is
// reached, for a request that comes when the user clicks.
struct Curl {
  decltype(&curl_global_init) global_init = nullptr;
  decltype(&curl_easy_init) easy_init = nullptr;
  decltype(&curl_easy_setopt) easy_setopt = nullptr;
  decltype(&curl_easy_perform) easy_perform = nullptr;
  decltype(&curl_easy_getinfo) easy_getinfo = nullptr;
  decltype(&curl_easy_cleanup) easy_cleanup = nullptr;
};

// The library and its functions, once; null when it cannot be opened or started.
const Curl* OpenCurl() {
  static std::once_flag once;
  static Curl curl;
  static bool ready = false;
  std::call_once(once, [] {
    // The file name of libcurl's ABI, the one the headers describe (since 7.16).
    void* lib = dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
    if (!lib) return;
    auto find = [lib](auto& fn, const char* name) {
      fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(dlsym(lib, name));
      return fn != nullptr;
    };
    ready = find(curl.global_init, "curl_global_init") && find(curl.easy_init, "curl_easy_init") &&
            find(curl.easy_setopt, "curl_easy_setopt") && find(curl.easy_perform, "curl_easy_perform") &&
            find(curl.easy_getinfo, "curl_easy_getinfo") && find(curl.easy_cleanup, "curl_easy_cleanup") &&
            curl.global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  });
  return ready ? &curl : nullptr;
}

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
  const Curl* api = OpenCurl();
  if (!api) return std::nullopt;
  CURL* curl = api->easy_init();
  if (!curl) return std::nullopt;
  Sink sink;
  sink.cap = maxBytes_;
  api->easy_setopt(curl, CURLOPT_URL, url.c_str());
  api->easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  api->easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  api->easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  api->easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
  api->easy_setopt(curl, CURLOPT_TIMEOUT_MS, timeoutMs_);
  api->easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  api->easy_setopt(curl, CURLOPT_WRITEFUNCTION, Collect);
  api->easy_setopt(curl, CURLOPT_WRITEDATA, &sink);
  const CURLcode rc = api->easy_perform(curl);
  long status = 0;
  api->easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  api->easy_cleanup(curl);
  if ((rc != CURLE_OK && !sink.overflow) || status < 200 || status >= 300) return std::nullopt;
  return std::move(sink.body);
}

}  // namespace tavlin
