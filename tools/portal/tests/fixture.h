// A portal on a free loopback port with a small catalogue and fake clips of
// known bytes, so every answer can be checked byte for byte.
#pragma once

#include <gtest/gtest.h>
#include <httplib.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "catalogue.h"
#include "media.h"
#include "portal.h"

namespace portal::testing {

inline const char* const kTestCatalogue =
    "# test items\n"
    "1|长河|电视剧|大陆|2012|qvod|ch|3,2|10|#000000,#ffffff|甲|hot|简介一\n"
    "2|夜-色|电影|大陆|2012|mp4|ye|1|60|#000000,#ffffff|乙||简介二\n"
    "3|星|动漫|日本|2013|qvod|xj|2|10|#000000,#ffffff|丙|pending|简介三\n";

// SHA-1 of "abc", the content of ch-01.mp4.
inline const char* const kAbcSha1 = "A9993E364706816ABA3E25717850C26C9CD0D89D";

inline std::string numbered_bytes(size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 % 251);
  return bytes;
}

class PortalTest : public ::testing::Test {
 protected:
  void SetUp() override { start({}); }
  void TearDown() override { stop(); }

  void start(std::vector<std::pair<std::string, std::string>> faults) {
    static int counter = 0;
    dir_ = std::filesystem::temp_directory_path() /
           ("tavlin-portal-test-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
    std::filesystem::create_directories(dir_);
    write("ch-01.mp4", "abc");
    write("ch-02.mp4", numbered_bytes(100000));
    write("ch-03.mp4", "third");
    write("ye-01.mp4", "film");
    write("xj-01.mp4", "star one");
    write("xj-02.mp4", "star two");
    catalogue_ = std::make_unique<Catalogue>(Catalogue::parse(kTestCatalogue));
    Options options;
    options.root = TAVLIN_PORTAL_WWW;
    options.media = dir_;
    options.port = 0;
    options.faults = std::move(faults);
    portal_ = std::make_unique<Portal>(options, *catalogue_, MediaLibrary::load(dir_, catalogue_->clip_names()));
    ASSERT_TRUE(portal_->start());
    client_ = std::make_unique<httplib::Client>("127.0.0.1", portal_->port());
    client_->set_read_timeout(10, 0);
  }

  void stop() {
    client_.reset();
    if (portal_) portal_->stop();
    portal_.reset();
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }

  void write(const std::string& name, const std::string& bytes) {
    std::ofstream(dir_ / name, std::ios::binary) << bytes;
  }

  httplib::Result get(const std::string& target, const httplib::Headers& headers = {}) {
    return client_->Get(target, headers);
  }

  // Body of a successful GET, or a marker text that no expectation matches.
  std::string body(const std::string& target) {
    auto res = get(target);
    if (!res) return "<no answer>";
    if (res->status != 200) return "<status " + std::to_string(res->status) + ">";
    return res->body;
  }

  std::filesystem::path dir_;
  std::unique_ptr<Catalogue> catalogue_;
  std::unique_ptr<Portal> portal_;
  std::unique_ptr<httplib::Client> client_;
};

}  // namespace portal::testing
