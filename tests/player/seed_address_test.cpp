#include <gtest/gtest.h>

#include "ui/player/seed_address.h"

namespace tavlin {
namespace {

TEST(SeedAddress, SeedBaseIsTheOriginOfThePortal) {
  const std::pair<const char*, const char*> cases[] = {
      {"http://127.0.0.1:47300/soft/", "http://127.0.0.1:47300/seed/"},
      {"http://127.0.0.1:8080/a/b/soft/", "http://127.0.0.1:8080/seed/"},
      {"https://portal.example/soft/", "https://portal.example/seed/"},
      {"http://[::1]:47300/soft/", "http://[::1]:47300/seed/"},
  };
  for (const auto& [portal, seed] : cases) EXPECT_EQ(SeedBaseAddress(portal), seed) << portal;
}

}  // namespace
}  // namespace tavlin
