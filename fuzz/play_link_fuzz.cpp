// Any link text in any view, from the portal or a list page, with any answer of the
// portal: the program must not crash, and no command text may ever reach a view as
// a page to load.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "core/forms/link_router.h"
#include "support/program_fixture.h"

namespace {

using tavlin::testing::PlayerFixture;

PlayerFixture& Program() {
  static auto* fixture = [] {
    auto* f = new PlayerFixture();
    f->dir.Write("date.dat", "123|t|1|qvod%3A//9%7CAB%7Ca.rmvb%7C|2|5|40\r\n9|p|1|http%3A//x/a.mp4|1|1|0\r\n");
    return f;
  }();
  return *fixture;
}

bool IsCommand(const std::string& address) {
  const std::string scheme = tavlin::forms::SchemeOf(address);
  return scheme == "eebovod" || scheme == "eeqvod" || scheme == "open" || scheme == "delk";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  static const char* const kViews[] = {"Web1", "Web2", "Web3", "Web4", "Web5"};
  const std::string view = kViews[data[0] % 5];
  const bool fromList = data[1] & 1;
  const std::string rest(reinterpret_cast<const char*>(data + 2), size - 2);
  // The text up to the first NUL is the link, the rest the portal's answer.
  const size_t cut = rest.find('\0');
  const std::string href = rest.substr(0, cut);
  const std::string answer = cut == std::string::npos ? "" : rest.substr(cut + 1);

  PlayerFixture& t = Program();
  t.http.Answer(answer);
  t.Follow(view, href, fromList ? t.dir.File("c.htm") : std::string(tavlin::testing::kPortal) + "index.htm");
  for (auto& [name, v] : t.views) {
    for (const std::string& address : v.navigations) {
      if (IsCommand(address)) std::abort();
    }
    v.navigations.clear();
  }
  return 0;
}
