#include "portal.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <sstream>

#include "pages.h"
#include "text.h"

namespace portal {
namespace {

constexpr size_t kRequestLogLimit = 100000;
constexpr char kHtml[] = "text/html; charset=utf-8";
constexpr char kText[] = "text/plain; charset=utf-8";

bool starts_with(const std::string& text, std::string_view prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

std::string collapse_slashes(const std::string& path) {
  std::string out;
  for (char c : path) {
    if (c == '/' && !out.empty() && out.back() == '/') continue;
    out += c;
  }
  return out;
}

bool has_parent_segment(const std::string& path) {
  for (const auto& segment : tavlin::Split(path, "/"))
    if (segment == "..") return true;
  return false;
}

std::string content_type_of(const std::filesystem::path& file) {
  static const std::map<std::string, std::string> types = {{".html", kHtml},
                                                           {".htm", kHtml},
                                                           {".txt", kText},
                                                           {".css", "text/css; charset=utf-8"},
                                                           {".js", "application/javascript; charset=utf-8"},
                                                           {".svg", "image/svg+xml"},
                                                           {".png", "image/png"},
                                                           {".gif", "image/gif"},
                                                           {".jpg", "image/jpeg"},
                                                           {".ico", "image/x-icon"},
                                                           {".mp4", "video/mp4"}};
  const auto it = types.find(file.extension().string());
  return it == types.end() ? "application/octet-stream" : it->second;
}

std::optional<long> delay_of(const std::string& value) {
  if (!starts_with(value, "delay:")) return std::nullopt;
  return parse_number(std::string_view(value).substr(6));
}

std::optional<long> rate_of(const std::string& value) {
  if (!starts_with(value, "rate:")) return std::nullopt;
  const auto rate = parse_number(std::string_view(value).substr(5));
  if (rate && *rate > 0) return rate;
  return std::nullopt;
}

// Which values each fault switch takes besides "ok", "delay:MS" and "500"/"404".
const std::map<std::string, std::vector<std::string>>& fault_values() {
  static const std::map<std::string, std::vector<std::string>> values = {
      {"home", {}},
      {"section", {}},
      {"hasp", {"garbage", "html", "empty", "0", "1"}},
      {"wen", {"missing", "malformed", "empty", "short"}},
      {"softad", {}},
      {"qvodad", {}},
      {"fudong", {}},
      {"seed", {"rate:"}},
  };
  return values;
}

}  // namespace

UpdateSettings UpdateSettings::defaults() {
  UpdateSettings settings;
  settings.notices = {
      {"《青石巷》全12集今晚首播", "/soft/tv"},
      {"Tavlin 3.0 正式版发布：播放更流畅", "/soft/"},
      {"《长河落日》双线路高清更新", "/soft/pp.htm?101-2-1-" + js_escape("长河落日") + "-0"},
  };
  return settings;
}

Portal::Portal(Options options, const Catalogue& catalogue, MediaLibrary media)
    : options_(std::move(options)), catalogue_(catalogue), media_(std::move(media)) {
  reset();
  server_.set_keep_alive_max_count(1000);
  server_.set_tcp_nodelay(true);
  // SO_REUSEADDR only: the library's default SO_REUSEPORT would let a second
  // portal share a port that is already taken instead of failing.
  server_.set_socket_options([](socket_t sock) {
    int yes = 1;
    setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  });
  // Delayed answers hold a worker each; keep enough for tests that stack them.
  server_.new_task_queue = [] { return new httplib::ThreadPool(16); };
  server_.Get(".*", [this](const httplib::Request& req, httplib::Response& res) { handle(req, res); });
}

Portal::~Portal() { stop(); }

void Portal::reset() {
  {
    std::lock_guard lock(mutex_);
    faults_.clear();
    update_ = options_.update;
    requests_.clear();
    pending_counts_.clear();
    hits_.clear();
  }
  for (const auto& [key, value] : options_.faults) set_fault(key, value);
}


bool Portal::start() {
  if (options_.port == 0) {
    port_ = server_.bind_to_any_port("127.0.0.1");
    if (port_ <= 0) return false;
  } else {
    if (!server_.bind_to_port("127.0.0.1", options_.port)) return false;
    port_ = options_.port;
  }
  thread_ = std::thread([this] { server_.listen_after_bind(); });
  // A stop() that comes before the loop runs would be lost: wait for it.
  while (!server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return true;
}

void Portal::stop() {
  stopping_ = true;
  wait_cv_.notify_all();
  server_.stop();
  if (thread_.joinable()) thread_.join();
}

std::string Portal::origin() const { return "http://127.0.0.1:" + std::to_string(port_); }
std::string Portal::base() const { return origin() + "/soft/"; }

bool Portal::valid_fault(const std::string& key, const std::string& value) {
  if (key == "ads") return valid_fault("softad", value);
  const auto known = fault_values().find(key);
  if (known == fault_values().end()) return false;
  if (value == "ok" || value == "500" || value == "404" || delay_of(value)) return true;
  for (const auto& extra : known->second)
    if (extra == "rate:" ? rate_of(value).has_value() : value == extra) return true;
  return false;
}

bool Portal::set_fault(const std::string& key, const std::string& value) {
  if (!valid_fault(key, value)) return false;
  if (key == "ads") {
    for (const char* ad : {"softad", "qvodad", "fudong"}) set_fault(ad, value);
    return true;
  }
  std::lock_guard lock(mutex_);
  if (value == "ok") faults_.erase(key);
  else faults_[key] = value;
  return true;
}

std::map<std::string, std::string> Portal::faults() const {
  std::lock_guard lock(mutex_);
  return faults_;
}

std::vector<std::string> Portal::requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

void Portal::wait_ms(long ms) {
  std::unique_lock lock(wait_mutex_);
  wait_cv_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stopping_.load(); });
}

bool Portal::apply_fault(const std::string& key, httplib::Response& res) {
  std::string value;
  {
    std::lock_guard lock(mutex_);
    const auto it = faults_.find(key);
    if (it == faults_.end()) return false;
    value = it->second;
  }
  if (const auto delay = delay_of(value)) {
    wait_ms(*delay);
    return false;
  }
  if (value == "500" || value == "404") {
    res.status = value == "500" ? 500 : 404;
    res.set_content(error_page(res.status), kHtml);
    return true;
  }
  return false;
}

std::string Portal::resolve_link(const std::string& link) const {
  return starts_with(link, "/") ? origin() + link : link;
}

std::string Portal::update_file() const {
  std::lock_guard lock(mutex_);
  const auto& u = update_;
  std::string exit_spec = u.exit_spec;
  const auto star = exit_spec.find("****");
  if (star != std::string::npos) exit_spec = exit_spec.substr(0, star + 4) + resolve_link(exit_spec.substr(star + 4));
  std::string notices;
  for (const auto& [caption, link] : u.notices) {
    if (!notices.empty()) notices += "@@@@@";
    notices += caption + "****" + resolve_link(link);
  }
  return exit_spec + "====" + u.notices_on + "====" + notices + "====" + u.floating_ad + "====" + u.player_ad +
         "====" + u.version + "\r\n";
}

std::string Portal::episode_answer(const std::string& id, const std::string& source, const std::string& index) {
  const auto item_id = parse_number(id);
  const Item* item = item_id ? catalogue_.find(*item_id) : nullptr;
  const auto s = parse_number(source);
  const auto i = parse_number(index);
  if (!item || !s || !i) return "1";
  if (*i < 1 || *i > item->episodes(static_cast<int>(*s))) return "1";
  const int episode = static_cast<int>(*i);
  if (item->has_flag("pending")) {
    std::lock_guard lock(mutex_);
    if (++pending_counts_[id + "-" + source + "-" + index] <= 2) return "0";
  }
  const Clip* clip = media_.by_name(item->clip_name(episode));
  if (!clip) return "0";  // the clip was never generated: nothing to offer yet
  std::string address;
  if (item->kind == "qvod") {
    address = "qvod://" + std::to_string(clip->size) + "|" + clip->sha1 + "|" + clip->name + "|";
  } else {
    address = origin() + "/media/" + clip->name;
  }
  return item->label(episode) + "$" + address + "$" + item->kind;
}

void Portal::answer_episode(const httplib::Request& req, httplib::Response& res) {
  std::string fault;
  {
    std::lock_guard lock(mutex_);
    const auto it = faults_.find("hasp");
    if (it != faults_.end()) fault = it->second;
  }
  if (const auto delay = delay_of(fault)) {
    wait_ms(*delay);
    fault.clear();
  }
  if (fault == "500" || fault == "404") {
    res.status = fault == "500" ? 500 : 404;
    res.set_content(error_page(res.status), kHtml);
  } else if (fault == "html") {
    res.set_content(asp_error_page(), kHtml);
  } else if (fault == "garbage") {
    res.set_content("\xFF\xFE<%@ id=??? #ERR# ok&v=%%% ;-)", "application/octet-stream");
  } else if (fault == "empty") {
    res.set_content("", kText);
  } else if (fault == "0" || fault == "1") {
    res.set_content(fault, kText);
  } else {
    res.set_content(episode_answer(req.get_param_value("id"), req.get_param_value("v"), req.get_param_value("v1")),
                    kText);
  }
}

void Portal::serve_static(const std::string& relative, httplib::Response& res) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path root = fs::weakly_canonical(options_.root, ec);
  const fs::path file = fs::weakly_canonical(root / relative, ec);
  // Symbolic links must not lead out of the root either.
  const auto [root_end, file_it] = std::mismatch(root.begin(), root.end(), file.begin(), file.end());
  if (ec || root_end != root.end()) {
    res.status = 403;
    res.set_content(error_page(403), kHtml);
    return;
  }
  if (!fs::is_regular_file(file, ec)) {
    res.status = 404;
    res.set_content(error_page(404), kHtml);
    return;
  }
  std::ifstream in(file, std::ios::binary);
  std::ostringstream body;
  body << in.rdbuf();
  res.set_content(body.str(), content_type_of(file).c_str());
}

void Portal::serve_clip(const Clip& clip, const httplib::Request& req, httplib::Response& res) {
  // The library drops the connection on a range it cannot satisfy; players
  // expect a 416 that names the size.
  const auto size = static_cast<ssize_t>(clip.size);
  for (const auto& [first, last] : req.ranges) {
    const bool satisfiable = first == -1 ? last > 0 : first < size && (last == -1 || last >= first);
    if (!satisfiable) {
      res.status = 416;
      res.set_header("Content-Range", "bytes */" + std::to_string(clip.size));
      return;
    }
  }
  // Nor does it cut a range that runs past the end, which HTTP asks for. The
  // request object is the library's own non-const local, so clamping it in
  // place is sound.
  for (auto& [first, last] : const_cast<httplib::Ranges&>(req.ranges)) {
    if (first == -1 && last > size) last = size;
    if (first != -1 && last >= size) last = size - 1;
  }
  long rate = 0;
  {
    std::lock_guard lock(mutex_);
    const auto it = faults_.find("seed");
    if (it != faults_.end()) rate = rate_of(it->second).value_or(0);
  }
  const int fd = ::open(clip.path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    res.status = 404;
    res.set_content(error_page(404), kHtml);
    return;
  }
  res.set_header("Accept-Ranges", "bytes");
  res.set_content_provider(
      clip.size, "video/mp4",
      [this, fd, rate](size_t offset, size_t length, httplib::DataSink& sink) {
        const size_t chunk = std::min<size_t>(length, rate > 0 ? 16384 : 65536);
        std::vector<char> buffer(chunk);
        const ssize_t got = ::pread(fd, buffer.data(), chunk, static_cast<off_t>(offset));
        if (got <= 0) return false;
        if (rate > 0) wait_ms(std::max<long>(1, static_cast<long>(got) * 1000 / rate));
        if (stopping_) return false;
        return sink.write(buffer.data(), static_cast<size_t>(got));
      },
      [fd](bool) { ::close(fd); });
}

bool Portal::handle_control(const std::string& path, const httplib::Request& req, httplib::Response& res) {
  if (!starts_with(path, "/__control/")) return false;
  if (req.remote_addr != "127.0.0.1" && req.remote_addr != "::1") {
    res.status = 403;
    return true;
  }
  const std::string command = path.substr(11);
  std::string body;
  if (command == "fault") {
    for (const auto& [key, value] : req.params) {
      if (!set_fault(key, value)) {
        res.status = 400;
        res.set_content("unknown fault " + key + "=" + value + "\n", kText);
        return true;
      }
    }
    for (const auto& [key, value] : faults()) body += key + "=" + value + "\n";
  } else if (command == "requests") {
    std::lock_guard lock(mutex_);
    for (const auto& line : requests_) body += line + "\n";
    if (req.has_param("clear")) requests_.clear();
  } else if (command == "clear") {
    std::lock_guard lock(mutex_);
    requests_.clear();
  } else if (command == "reset") {
    reset();
  } else if (command == "hits") {
    std::lock_guard lock(mutex_);
    for (const auto& [id, count] : hits_) body += id + " " + std::to_string(count) + "\n";
  } else if (command == "wen") {
    {
      std::lock_guard lock(mutex_);
      auto& u = update_;
      if (req.has_param("exit")) u.exit_spec = req.get_param_value("exit");
      if (req.has_param("notices")) u.notices_on = req.get_param_value("notices");
      if (req.has_param("fudong")) u.floating_ad = req.get_param_value("fudong");
      if (req.has_param("playerad")) u.player_ad = req.get_param_value("playerad");
      if (req.has_param("version")) u.version = req.get_param_value("version");
      if (req.has_param("notice")) {
        u.notices.clear();
        for (size_t n = 0; n < req.get_param_value_count("notice"); ++n) {
          const auto parts = tavlin::Split(req.get_param_value("notice", n), "****");
          u.notices.emplace_back(parts[0], parts.size() > 1 ? parts[1] : "");
        }
      }
    }
    body = update_file();
  } else {
    res.status = 404;
    res.set_content("unknown control " + command + "\n", kText);
    return true;
  }
  res.set_content(body, kText);
  return true;
}

void Portal::handle(const httplib::Request& req, httplib::Response& res) {
  const std::string path = collapse_slashes(req.path);
  if (has_parent_segment(path)) {
    res.status = 403;
    res.set_content(error_page(403), kHtml);
    return;
  }
  if (handle_control(path, req, res)) return;
  {
    std::lock_guard lock(mutex_);
    if (requests_.size() >= kRequestLogLimit)
      requests_.erase(requests_.begin(), requests_.begin() + kRequestLogLimit / 2);
    requests_.push_back(req.target);
  }
  const auto query_pos = req.target.find('?');
  const std::string query = query_pos == std::string::npos ? "" : req.target.substr(query_pos + 1);
  const PageContext page{catalogue_, media_, origin()};

  if (path == "/" || path == "/soft") {
    res.set_redirect("/soft/");
  } else if (path == "/soft/") {
    if (!apply_fault("home", res)) res.set_content(home_page(page), kHtml);
  } else if (path == "/soft/tv" || path == "/soft/tv/" || path == "/soft/yy" || path == "/soft/yy/") {
    if (!apply_fault("section", res)) res.set_content(section_page(page, path.substr(6, 2)), kHtml);
  } else if (path == "/soft/h.asp") {
    answer_episode(req, res);
  } else if (path == "/soft/pp.htm") {
    res.set_content(episode_page(page, percent_decode(query)), kHtml);
  } else if (path == "/soft/play.htm") {
    res.set_content(player_page(page, percent_decode(query)), kHtml);
  } else if (path == "/soft/tj/tj.asp") {
    const std::string id = req.get_param_value("id");
    int count = 0;
    {
      std::lock_guard lock(mutex_);
      count = ++hits_[id];
    }
    res.set_content(hits_page(id, count), kHtml);
  } else if (path == "/soft/lib/wen.txt") {
    if (apply_fault("wen", res)) return;
    const auto current = faults();
    const std::string fault = current.count("wen") ? current.at("wen") : "";
    if (fault == "missing") {
      res.status = 404;
      res.set_content(error_page(404), kHtml);
    } else if (fault == "malformed") {
      res.set_content("<html><body>更新服务器维护中，请稍后再试</body></html>", kText);
    } else if (fault == "empty") {
      res.set_content("", kText);
    } else if (fault == "short") {
      res.set_content("0****====1", kText);
    } else {
      res.set_content(update_file(), kText);
    }
  } else if (starts_with(path, "/seed/") || starts_with(path, "/media/")) {
    if (starts_with(path, "/seed/") && apply_fault("seed", res)) return;
    const Clip* clip = starts_with(path, "/seed/") ? media_.by_hash(path.substr(6)) : media_.by_name(path.substr(7));
    if (!clip) {
      res.status = 404;
      res.set_content(error_page(404), kHtml);
      return;
    }
    serve_clip(*clip, req, res);
  } else if (starts_with(path, "/soft/")) {
    const std::string relative = path.substr(6);
    static const std::map<std::string, std::string> ad_faults = {
        {"js/ads/softad.html", "softad"}, {"js/ads/qvodad.html", "qvodad"}, {"js/ads/fudong.html", "fudong"}};
    const auto ad = ad_faults.find(relative);
    if (ad != ad_faults.end() && apply_fault(ad->second, res)) return;
    serve_static(relative, res);
  } else {
    res.status = 404;
    res.set_content(error_page(404), kHtml);
  }
}

}  // namespace portal
