#include "media.h"

#include <openssl/evp.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <memory>
#include <stdexcept>

namespace portal {

std::string sha1_of_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> ctx(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
  if (!ctx || EVP_DigestInit_ex(ctx.get(), EVP_sha1(), nullptr) != 1)
    throw std::runtime_error("SHA-1 is not available");
  std::vector<char> buffer(1 << 16);
  while (in) {
    in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    if (in.gcount() > 0) EVP_DigestUpdate(ctx.get(), buffer.data(), static_cast<size_t>(in.gcount()));
  }
  if (in.bad()) throw std::runtime_error("cannot read " + path.string());
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  EVP_DigestFinal_ex(ctx.get(), digest, &length);
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string hex;
  for (unsigned int i = 0; i < length; ++i) {
    hex += kHex[digest[i] >> 4];
    hex += kHex[digest[i] & 0xF];
  }
  return hex;
}

MediaLibrary MediaLibrary::load(const std::filesystem::path& dir, const std::vector<std::string>& names) {
  MediaLibrary library;
  for (const auto& name : names) {
    Clip clip;
    clip.name = name;
    clip.path = dir / name;
    std::error_code ec;
    if (std::filesystem::is_regular_file(clip.path, ec)) {
      clip.size = std::filesystem::file_size(clip.path, ec);
      if (!ec) {
        clip.sha1 = sha1_of_file(clip.path);
        clip.present = true;
      }
    }
    library.clips_.push_back(std::move(clip));
  }
  return library;
}

const Clip* MediaLibrary::by_name(const std::string& name) const {
  for (const auto& clip : clips_)
    if (clip.present && clip.name == name) return &clip;
  return nullptr;
}

const Clip* MediaLibrary::by_hash(const std::string& hex) const {
  std::string upper = hex;
  std::transform(upper.begin(), upper.end(), upper.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  for (const auto& clip : clips_)
    if (clip.present && clip.sha1 == upper) return &clip;
  return nullptr;
}

std::vector<std::string> MediaLibrary::missing() const {
  std::vector<std::string> names;
  for (const auto& clip : clips_)
    if (!clip.present) names.push_back(clip.name);
  return names;
}

}  // namespace portal
