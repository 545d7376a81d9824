// Fault switches, set at run time through /__control/ or at start, and the
// read-back of the requests received.
#include <chrono>

#include "fixture.h"

namespace portal::testing {
namespace {

bool no_dollar(const std::string& body) { return body.find('$') == std::string::npos; }

TEST_F(PortalTest, EachFaultSwitchBreaksItsAddress) {
  const struct {
    const char* fault;
    std::string target;
    int status;
    bool (*body_ok)(const std::string&);
  } cases[] = {
      {"home=500", "/soft/", 500, nullptr},
      {"home=404", "/soft/?30", 404, nullptr},
      {"section=500", "/soft//tv", 500, nullptr},
      {"hasp=500", "/soft/h.asp?id=1&v=1&v1=1", 500, nullptr},
      {"hasp=garbage", "/soft/h.asp?id=1&v=1&v1=1", 200,
       [](const std::string& b) { return no_dollar(b) && b != "0" && b != "1" && !b.empty(); }},
      {"hasp=html", "/soft/h.asp?id=1&v=1&v1=1", 200,
       [](const std::string& b) { return no_dollar(b) && b.rfind("<!DOCTYPE html>", 0) == 0; }},
      {"hasp=empty", "/soft/h.asp?id=1&v=1&v1=1", 200, [](const std::string& b) { return b.empty(); }},
      {"hasp=0", "/soft/h.asp?id=1&v=1&v1=1", 200, [](const std::string& b) { return b == "0"; }},
      {"hasp=1", "/soft/h.asp?id=1&v=1&v1=1", 200, [](const std::string& b) { return b == "1"; }},
      {"wen=missing", "/soft/lib/wen.txt", 404, nullptr},
      {"wen=500", "/soft/lib/wen.txt", 500, nullptr},
      {"wen=malformed", "/soft/lib/wen.txt", 200,
       [](const std::string& b) { return !b.empty() && b.find("====") == std::string::npos; }},
      {"wen=empty", "/soft/lib/wen.txt", 200, [](const std::string& b) { return b.empty(); }},
      {"wen=short", "/soft/lib/wen.txt", 200, [](const std::string& b) { return b == "0****====1"; }},
      {"softad=500", "/soft/js/ads/softad.html", 500, nullptr},
      {"qvodad=404", "/soft/js/ads/qvodad.html", 404, nullptr},
      {"fudong=500", "/soft//js/ads/fudong.html", 500, nullptr},
      {"ads=404", "/soft/js/ads/fudong.html", 404, nullptr},
      {"ads=404", "/soft/js/ads/softad.html", 404, nullptr},
      {"seed=404", std::string("/seed/") + kAbcSha1, 404, nullptr},
  };
  for (const auto& c : cases) {
    const std::string fault = c.fault;
    ASSERT_NE(body("/__control/fault?" + fault).find(fault.substr(fault.find('=') + 1)), std::string::npos) << fault;
    auto res = get(c.target);
    ASSERT_TRUE(res) << fault;
    EXPECT_EQ(res->status, c.status) << fault;
    if (c.body_ok) EXPECT_TRUE(c.body_ok(res->body)) << fault << ": " << res->body;
    body("/__control/reset");
    auto healthy = get(c.target);
    ASSERT_TRUE(healthy) << fault;
    EXPECT_EQ(healthy->status, 200) << fault << " after reset";
  }
}

TEST_F(PortalTest, DelayHoldsTheAnswerThenAnswersNormally) {
  body("/__control/fault?hasp=delay:400&home=delay:400");
  for (const char* target : {"/soft/h.asp?id=1&v=1&v1=1", "/soft/"}) {
    const auto start = std::chrono::steady_clock::now();
    auto res = get(target);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    ASSERT_TRUE(res) << target;
    EXPECT_EQ(res->status, 200) << target;
    EXPECT_GE(elapsed, std::chrono::milliseconds(400)) << target;
  }
  EXPECT_EQ(body("/soft/h.asp?id=1&v=1&v1=1"), std::string("第01集$qvod://3|") + kAbcSha1 + "|ch-01.mp4|$qvod");
}

TEST_F(PortalTest, ClientTimeOutOnADelayedAnswerAndStopIsNotHeldUp) {
  body("/__control/fault?hasp=delay:60000");
  client_->set_read_timeout(0, 300000);
  EXPECT_FALSE(get("/soft/h.asp?id=1&v=1&v1=1"));
  const auto start = std::chrono::steady_clock::now();
  stop();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST_F(PortalTest, SlowSeedStillDeliversEveryByte) {
  body("/__control/fault?seed=rate:200000");
  const std::string seed = "/seed/" + sha1_of_file(dir_ / "ch-02.mp4");
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(body(seed) == numbered_bytes(100000));
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(400));
}

TEST_F(PortalTest, UnknownFaultsAreRejectedAndChangeNothing) {
  for (const char* query : {"home=garbage", "nothing=500", "hasp=delay:x", "wen=rate:10", "seed=rate:0"}) {
    auto res = get(std::string("/__control/fault?") + query);
    ASSERT_TRUE(res) << query;
    EXPECT_EQ(res->status, 400) << query;
  }
  EXPECT_EQ(body("/__control/fault"), "");
  EXPECT_EQ(body("/__control/fault?home=500&hasp=html"), "hasp=html\nhome=500\n");
  EXPECT_EQ(body("/__control/fault?home=ok"), "hasp=html\n");
  EXPECT_EQ(body("/__control/nothing"), "<status 404>");
}

TEST_F(PortalTest, StartUpFaultsComeBackAfterReset) {
  stop();
  start({{"ads", "500"}, {"wen", "missing"}});
  EXPECT_EQ(body("/__control/fault"), "fudong=500\nqvodad=500\nsoftad=500\nwen=missing\n");
  body("/__control/fault?wen=ok");
  body("/__control/reset");
  EXPECT_EQ(body("/soft/lib/wen.txt"), "<status 404>");
}

TEST_F(PortalTest, RequestLogKeepsRawTargetsInOrder) {
  get("/soft/");
  get("/soft//tv");
  get("/soft/h.asp?id=1&v=2&v1=1");
  get("/soft/pp.htm?1-2-1-%u957F%u6CB3-0");
  get("/__control/fault");  // control calls are not logged
  get("/soft/tj/tj.asp?id=X");
  EXPECT_EQ(body("/__control/requests"),
            "/soft/\n/soft//tv\n/soft/h.asp?id=1&v=2&v1=1\n/soft/pp.htm?1-2-1-%u957F%u6CB3-0\n/soft/tj/tj.asp?id=X\n");
  EXPECT_EQ(body("/__control/requests?clear=1").substr(0, 7), "/soft/\n");
  EXPECT_EQ(body("/__control/requests"), "");
  get("/soft/lib/wen.txt");
  body("/__control/clear");
  EXPECT_EQ(body("/__control/requests"), "");
}

}  // namespace
}  // namespace portal::testing
