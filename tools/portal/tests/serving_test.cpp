// Clips with ranges, static files, and what must never be served.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>

#include "fixture.h"

namespace portal::testing {
namespace {

// Sends one raw request line, so that nothing on the way tidies the path.
std::string raw_get(int port, const std::string& target) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    ::close(fd);
    return "";
  }
  const std::string request = "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n";
  (void)!::write(fd, request.data(), request.size());
  std::string answer;
  char buffer[4096];
  ssize_t got = 0;
  while ((got = ::read(fd, buffer, sizeof buffer)) > 0) answer.append(buffer, static_cast<size_t>(got));
  ::close(fd);
  return answer.substr(0, answer.find("\r\n"));
}

TEST_F(PortalTest, SeedServesWholeClipsAndRanges) {
  const std::string clip = numbered_bytes(100000);
  const std::string seed = "/seed/" + sha1_of_file(dir_ / "ch-02.mp4");
  const struct {
    const char* range;  // nullptr: no Range header
    int status;
    std::string body;
    const char* content_range;
  } cases[] = {
      {nullptr, 200, clip, ""},
      {"bytes=0-0", 206, clip.substr(0, 1), "bytes 0-0/100000"},
      {"bytes=10-19", 206, clip.substr(10, 10), "bytes 10-19/100000"},
      {"bytes=99990-", 206, clip.substr(99990), "bytes 99990-99999/100000"},
      {"bytes=-5", 206, clip.substr(99995), "bytes 99995-99999/100000"},
      {"bytes=65530-70000", 206, clip.substr(65530, 4471), "bytes 65530-70000/100000"},
      {"bytes=99998-200000", 206, clip.substr(99998), "bytes 99998-99999/100000"},
      {"bytes=200000-", 416, "", "bytes */100000"},
      {"bytes=100000-100001", 416, "", "bytes */100000"},
  };
  for (const auto& c : cases) {
    httplib::Headers headers;
    if (c.range) headers.emplace("Range", c.range);
    auto res = get(seed, headers);
    ASSERT_TRUE(res) << (c.range ? c.range : "whole");
    EXPECT_EQ(res->status, c.status) << (c.range ? c.range : "whole");
    EXPECT_EQ(res->get_header_value("Content-Range"), c.content_range);
    if (c.status == 416) continue;
    EXPECT_TRUE(res->body == c.body) << (c.range ? c.range : "whole") << ": " << res->body.size() << " bytes";
    EXPECT_EQ(res->get_header_value("Content-Type"), "video/mp4");
  }
  EXPECT_EQ(get(seed)->get_header_value("Accept-Ranges"), "bytes");
}

TEST_F(PortalTest, ClipsAreFoundByDigestInEitherCaseOrByName) {
  std::string lower = kAbcSha1;
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
  EXPECT_EQ(body(std::string("/seed/") + kAbcSha1), "abc");
  EXPECT_EQ(body("/seed/" + lower), "abc");
  EXPECT_EQ(body("/media/ye-01.mp4"), "film");
  EXPECT_EQ(body("/seed/0000000000000000000000000000000000000000"), "<status 404>");
  EXPECT_EQ(body("/media/nothing.mp4"), "<status 404>");
}

TEST_F(PortalTest, StaticFilesComeWithTheirTypes) {
  const struct {
    const char* target;
    const char* type;
  } cases[] = {
      {"/soft/css/portal.css", "text/css; charset=utf-8"},
      {"/soft/img/logo.svg", "image/svg+xml"},
      {"/soft/js/ads/softad.html", "text/html; charset=utf-8"},
      {"/soft/js/ads/qvodad.html", "text/html; charset=utf-8"},
      {"/soft/js/ads/fudong.html", "text/html; charset=utf-8"},
      {"/soft/update/setup.exe", "application/octet-stream"},
      {"/soft/update/update.exe", "application/octet-stream"},
  };
  for (const auto& c : cases) {
    auto res = get(c.target);
    ASSERT_TRUE(res) << c.target;
    EXPECT_EQ(res->status, 200) << c.target;
    EXPECT_EQ(res->get_header_value("Content-Type"), c.type) << c.target;
    EXPECT_FALSE(res->body.empty()) << c.target;
  }
  EXPECT_EQ(body("/soft/nothing.html"), "<status 404>");
  EXPECT_EQ(body("/elsewhere"), "<status 404>");
}

TEST_F(PortalTest, AdPagesHaveTheirSizesAndTheFloatingAdOpensANewWindow) {
  EXPECT_NE(body("/soft/js/ads/softad.html").find("width: 163px; height: 46px"), std::string::npos);
  EXPECT_NE(body("/soft/js/ads/qvodad.html").find("width: 450px; height: 260px"), std::string::npos);
  const std::string floating = body("/soft//js/ads/fudong.html");
  EXPECT_NE(floating.find("width: 268px; height: 200px"), std::string::npos);
  EXPECT_NE(floating.find("target=\"_blank\""), std::string::npos);
}

TEST_F(PortalTest, ParentSegmentsAreRefused) {
  for (const char* target : {"/soft/../CMakeLists.txt", "/soft/css/../../catalogue.txt", "/soft/%2e%2e/catalogue.txt",
                             "/soft/%2E%2E%2Fcatalogue.txt", "/seed/../soft/", "/soft/..", "/../etc/passwd"}) {
    const std::string status = raw_get(portal_->port(), target);
    EXPECT_TRUE(status.find(" 403") != std::string::npos || status.find(" 400") != std::string::npos)
        << target << ": " << status;
  }
}

TEST_F(PortalTest, DotsInQueriesAndNamesAreNotParentSegments) {
  EXPECT_NE(body("/soft/pp.htm?1-1-1-Wait...-0").find("eebovod://1-1-1-"), std::string::npos);
  EXPECT_EQ(body("/soft/h.asp?id=1&v=1&v1=..").substr(0, 1), "1");
  EXPECT_EQ(body("/soft/css/..portal.css"), "<status 404>");
}

TEST_F(PortalTest, RootRedirectsToThePortalBase) {
  auto res = get("/");
  ASSERT_TRUE(res);
  EXPECT_EQ(res->status, 302);
  EXPECT_EQ(res->get_header_value("Location"), "/soft/");
}

}  // namespace
}  // namespace portal::testing
