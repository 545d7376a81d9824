// The generated clips: their sizes and digests, looked up by file name or digest.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace portal {

struct Clip {
  std::string name;
  std::filesystem::path path;
  std::uint64_t size = 0;
  std::string sha1;  // 40 upper-case hex digits
  bool present = false;
};

class MediaLibrary {
 public:
  // Reads every named clip in dir; missing ones are kept with present = false
  // and listed by missing().
  static MediaLibrary load(const std::filesystem::path& dir, const std::vector<std::string>& names);

  const Clip* by_name(const std::string& name) const;
  // Accepts the digest in either letter case.
  const Clip* by_hash(const std::string& hex) const;
  std::vector<std::string> missing() const;

 private:
  std::vector<Clip> clips_;
};

// Upper-case hex SHA-1 of a file; throws std::runtime_error when it cannot be read.
std::string sha1_of_file(const std::filesystem::path& path);

}  // namespace portal
