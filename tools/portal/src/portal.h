// The demo portal: every address the program forms under its portal base,
// plus faults and a request log that tests switch and read through /__control/.
#pragma once

#include <httplib.h>

#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "catalogue.h"
#include "media.h"

namespace portal {

// The switches of the update file lib/wen.txt.
struct UpdateSettings {
  std::string exit_spec = "0****";  // flag "****" address; a leading "/" gets the origin
  std::string notices_on = "1";
  std::vector<std::pair<std::string, std::string>> notices;  // caption, link
  std::string floating_ad = "1";
  std::string player_ad = "1";
  std::string version = "3.0";

  static UpdateSettings defaults();
};

struct Options {
  std::filesystem::path root;   // static pages and assets, served under /soft/
  std::filesystem::path media;  // generated clips
  int port = 47300;
  std::vector<std::pair<std::string, std::string>> faults;  // applied in order at start and reset
  UpdateSettings update = UpdateSettings::defaults();
};

class Portal {
 public:
  Portal(Options options, const Catalogue& catalogue, MediaLibrary media);
  ~Portal();
  Portal(const Portal&) = delete;
  Portal& operator=(const Portal&) = delete;

  // Binds 127.0.0.1 (port 0 picks a free one) and serves on a thread of its
  // own; returns false when the port cannot be bound.
  bool start();
  void stop();
  int port() const { return port_; }
  std::string origin() const;  // http://127.0.0.1:PORT
  std::string base() const;    // origin + "/soft/"

  // Sets one fault switch; false for an unknown key or value. "ok" clears.
  bool set_fault(const std::string& key, const std::string& value);
  static bool valid_fault(const std::string& key, const std::string& value);
  std::map<std::string, std::string> faults() const;
  std::vector<std::string> requests() const;
  std::string update_file() const;
  // Text of an episode request's answer, as h.asp sends it without faults.
  std::string episode_answer(const std::string& id, const std::string& source, const std::string& index);

 private:
  void handle(const httplib::Request& req, httplib::Response& res);
  bool handle_control(const std::string& path, const httplib::Request& req, httplib::Response& res);
  // Applies a page's fault switch; true when it already answered.
  bool apply_fault(const std::string& key, httplib::Response& res);
  void wait_ms(long ms);
  void serve_static(const std::string& relative, httplib::Response& res);
  void serve_clip(const Clip& clip, const httplib::Request& req, httplib::Response& res);
  void answer_episode(const httplib::Request& req, httplib::Response& res);
  std::string resolve_link(const std::string& link) const;
  void reset();

  Options options_;
  const Catalogue& catalogue_;
  MediaLibrary media_;
  httplib::Server server_;
  std::thread thread_;
  int port_ = 0;

  mutable std::mutex mutex_;
  std::map<std::string, std::string> faults_;
  UpdateSettings update_;
  std::vector<std::string> requests_;
  std::map<std::string, int> pending_counts_;
  std::map<std::string, int> hits_;

  std::mutex wait_mutex_;
  std::condition_variable wait_cv_;
  std::atomic<bool> stopping_{false};
};

}  // namespace portal
