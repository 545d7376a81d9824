#include "platform/linux/linux_machine.h"

#include <gtest/gtest.h>

#include <regex>

#include "core/services/machine_id.h"

namespace tavlin {
namespace {

TEST(LinuxMachine, GivesWellFormedValues) {
  LinuxMachine machine;
  const std::string raw = machine.FirstAdapterHardwareAddress();
  EXPECT_TRUE(raw.empty() || std::regex_match(raw, std::regex("([0-9a-f]{2}:){5}[0-9a-f]{2}"))) << raw;
  const std::string id = GetAdapterAddress(machine);
  EXPECT_TRUE(id.empty() || std::regex_match(id, std::regex("([0-9A-F]{2}-){5}[0-9A-F]{2}"))) << id;
  EXPECT_TRUE(std::regex_match(MakeRandomUserId(machine), std::regex("[0-9]{12,17}")));
  for (int i = 0; i < 1000; ++i) {
    const double r = machine.Random();
    ASSERT_GE(r, 0.0);
    ASSERT_LT(r, 1.0);
  }
  const LocalDateTime now = machine.Now();
  EXPECT_GE(now.year, 2024);
  EXPECT_GE(now.month, 1);
  EXPECT_LE(now.month, 12);
}

}  // namespace
}  // namespace tavlin
