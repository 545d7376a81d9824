// The blocking portal request against a real server on loopback.
#include "platform/linux/curl_http_client.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <chrono>
#include <thread>

namespace tavlin {
namespace {

class LocalServer {
 public:
  LocalServer() {
    server_.Get("/soft/h.asp", [](const httplib::Request& req, httplib::Response& res) {
      res.set_content("第1集$qvod://1|2|a.rmvb|$qvod&v=" + req.get_param_value("v"), "text/plain");
    });
    server_.Get("/soft/missing", [](const httplib::Request&, httplib::Response& res) { res.status = 404; });
    server_.Get("/soft/big", [](const httplib::Request&, httplib::Response& res) {
      res.set_content(std::string(64 * 1024, 'x'), "text/plain");
    });
    server_.Get("/soft/slow", [](const httplib::Request&, httplib::Response& res) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1500));
      res.set_content("late", "text/plain");
    });
    server_.Get("/soft//tv",
                [](const httplib::Request&, httplib::Response& res) { res.set_content("tv", "text/plain"); });
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    while (!server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ~LocalServer() {
    server_.stop();
    thread_.join();
  }
  std::string Base() const { return "http://127.0.0.1:" + std::to_string(port_) + "/soft/"; }

 private:
  httplib::Server server_;
  int port_ = 0;
  std::thread thread_;
};

TEST(CurlHttpClient, AnswersAndFailures) {
  LocalServer server;
  CurlHttpClient http(500, 16 * 1024);
  EXPECT_EQ(http.Get(server.Base() + "h.asp?id=1&v=2&v1=3"), "第1集$qvod://1|2|a.rmvb|$qvod&v=2");
  EXPECT_EQ(http.Get(server.Base() + "/tv"), "tv") << "a doubled slash is sent as it is";
  EXPECT_EQ(http.Get(server.Base() + "missing"), std::nullopt);
  EXPECT_EQ(http.Get(server.Base() + "big").value_or("").size(), 16u * 1024) << "cut at the size cap";
  EXPECT_EQ(http.Get(server.Base() + "slow"), std::nullopt) << "past the time-out";
  EXPECT_EQ(http.Get("file:///etc/passwd"), std::nullopt);
  EXPECT_EQ(http.Get("http://127.0.0.1:1/soft/"), std::nullopt);
  EXPECT_EQ(http.Get("not a url"), std::nullopt);
}

}  // namespace
}  // namespace tavlin
