// Any bytes as a link from a page: the qvod grammar must not crash, and whatever it
// accepts must be safe to fetch and to store: a positive size, a hash of letters and
// digits, a bare file name that stays inside the download folder and is not hidden
// (hidden names are where settings live, and the program's own unfinished items).
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/player/qvod_address.h"

namespace {

bool IsAsciiAlnum(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

void Check(const std::string& text) {
  using namespace tavlin::player;
  const std::optional<QvodAddress> address = ParseQvodAddress(text);
  if ((ClassifySource(text) == SourceKind::kQvod) != address.has_value()) std::abort();
  if (!address) return;
  if (address->size <= 0) std::abort();
  if (address->hash.empty()) std::abort();
  for (char c : address->hash) {
    if (!IsAsciiAlnum(c)) std::abort();
  }
  const std::string& name = address->name;
  if (name.empty() || name.front() == '.') std::abort();
  if (name.find_first_of(std::string("/\\\0", 3)) != std::string::npos) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  Check(bytes);
  // Most inputs lack the scheme; with it the fuzzer reaches the fields at once.
  Check("qvod://" + bytes);
  return 0;
}
