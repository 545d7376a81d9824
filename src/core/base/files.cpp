#include "core/base/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace tavlin {

std::optional<std::string> ReadWholeFile(const std::string& path) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream buf;
  buf << in.rdbuf();
  if (in.bad()) return std::nullopt;
  return buf.str();
}

namespace {

// The file a write of path really replaces: a symlink's target, so that the link
// stays a link (its target may be kept in another folder on purpose).
std::string WriteTarget(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::is_symlink(path, ec)) return path;
  const auto target = std::filesystem::weakly_canonical(path, ec);
  return ec ? path : target.string();
}

mode_t CurrentUmask() {
  // Read by setting: there is no other way in POSIX; the program is single-threaded.
  const mode_t mask = ::umask(022);
  ::umask(mask);
  return mask;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, const std::string& bytes) {
  const std::string target = WriteTarget(path);
  std::string tmp = target + ".tmp-XXXXXX";
  const int fd = ::mkstemp(tmp.data());
  if (fd < 0) return false;
  size_t done = 0;
  bool ok = true;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      ok = false;
      break;
    }
    done += static_cast<size_t>(n);
  }
  // A rewrite keeps the file's mode and owner; a new file gets what the umask gives
  // (mkstemp's 0600 is stricter than the user asked for).
  struct stat old {};
  if (::stat(target.c_str(), &old) == 0) {
    ok = ok && ::fchmod(fd, old.st_mode & 07777) == 0;
    // Only root may give a file away; for everyone else the owner is already right.
    if (ok && ::fchown(fd, old.st_uid, old.st_gid) != 0 && errno != EPERM) ok = false;
  } else {
    ok = ok && ::fchmod(fd, 0666 & ~CurrentUmask()) == 0;
  }
  ok = ok && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (ok) ok = ::rename(tmp.c_str(), target.c_str()) == 0;
  if (!ok) ::unlink(tmp.c_str());
  return ok;
}

bool CanWriteIn(const std::string& folder) {
  std::string probe = folder + "/.write-test-XXXXXX";
  const int fd = ::mkstemp(probe.data());
  if (fd < 0) return false;
  ::close(fd);
  ::unlink(probe.c_str());
  return true;
}

int RemoveStaleTemporaries(const std::string& folder) {
  namespace fs = std::filesystem;
  static const char* const kOwn[] = {"config.ini", "date.dat", "date_f.dat",    "c.htm",
                                     "f.htm",      "i.gif",    "QvodPlayer.xml"};
  auto madeByMkstemp = [](std::string_view suffix) {
    return suffix.size() == 6 && std::all_of(suffix.begin(), suffix.end(),
                                             [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
  };
  auto ours = [&](const std::string& name) {
    if (name.rfind(".write-test-", 0) == 0) return madeByMkstemp(std::string_view(name).substr(12));
    for (const char* own : kOwn) {
      const std::string prefix = std::string(own) + ".tmp-";
      if (name.rfind(prefix, 0) == 0) return madeByMkstemp(std::string_view(name).substr(prefix.size()));
    }
    return false;
  };
  const auto now = fs::file_time_type::clock::now();
  int removed = 0;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (!it->is_regular_file(ec) || !ours(it->path().filename().string())) continue;
    const auto written = it->last_write_time(ec);
    if (ec || now - written < std::chrono::minutes(1)) continue;
    if (fs::remove(it->path(), ec)) ++removed;
  }
  return removed;
}

bool FileExists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::exists(path, ec);
}

}  // namespace tavlin
