#include "core/base/config.h"
#include "core/services/first_run.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/services/machine_id.h"
#include "support/fake_machine.h"
#include "support/temp_folder.h"

namespace tavlin {
namespace {

using testing::FakeMachine;
using testing::TempFolder;

constexpr const char* kFirstRun =
    "[main]\r\nName=Tavlin\r\n[User]\r\nName=00-1A-2B-3C-4D-5E\r\n[Skin]\r\nNum=0\r\n[Ver]\r\n"
    "Name=3.0\r\n[S_q]\r\nts=3\r\nquit=2\r\nqvodk=2\r\ns_size=2\r\nh_w=13560\r\nh_h=8475\r\n"
    "s_h=2\r\ns_bo=2\r\ns_jd=2\r\nqvodqi=2\r\ns_pao=2\r\n";

TEST(Config, FirstRunWritesEveryKeyInOrderAndRepairKeepsThem) {
  TempFolder dir;
  FakeMachine machine;
  ASSERT_TRUE(CreateFirstRunConfig(dir.File("config.ini"), machine));
  EXPECT_EQ(dir.Read("config.ini"), kFirstRun);
  ASSERT_TRUE(RepairConfig(dir.File("config.ini"), machine));
  EXPECT_EQ(dir.Read("config.ini"), kFirstRun);
  EXPECT_EQ(ReadIni(dir.File("config.ini"), "S_q", "qvodw"), "0");
}

// Every rewrite of the file waits for the disk; a start on a sound file makes none.
TEST(Config, ASoundFileIsNotRewrittenByTheRepairNorBySameValueWrites) {
  TempFolder dir;
  FakeMachine machine;
  const std::string ini = dir.File("config.ini");
  ASSERT_TRUE(CreateFirstRunConfig(ini, machine));
  // A second name for the file written: a rewrite puts a new file in its place.
  ASSERT_EQ(::link(ini.c_str(), dir.File("pinned").c_str()), 0);
  auto stillTheFileWritten = [&] {
    struct stat st {};
    return ::stat(ini.c_str(), &st) == 0 && st.st_nlink == 2;
  };
  ASSERT_TRUE(RepairConfig(ini, machine));
  ASSERT_TRUE(WriteIni(ini, ini_keys::kCloseAsk, "3"));
  EXPECT_TRUE(stillTheFileWritten());
  EXPECT_EQ(dir.Read("config.ini"), kFirstRun);

  ASSERT_TRUE(WriteIni(ini, ini_keys::kCloseAsk, "1"));
  EXPECT_FALSE(stillTheFileWritten()) << "a change is written, through a new file";
  // Two broken keys and a missing one come back together.
  ASSERT_TRUE(WriteIni(ini, ini_keys::kBalloons, "x"));
  ASSERT_TRUE(WriteIni(ini, ini_keys::kSavedWidth, "0"));
  dir.Write("config.ini", dir.Read("config.ini").replace(dir.Read("config.ini").find("qvodk=2\r\n"), 9, ""));
  ASSERT_TRUE(RepairConfig(ini, machine));
  EXPECT_EQ(ReadIni(ini, ini_keys::kBalloons), "2");
  EXPECT_EQ(ReadIni(ini, ini_keys::kSavedWidth), "13560");
  EXPECT_EQ(ReadIni(ini, ini_keys::kCloseQvod), "2");
  EXPECT_EQ(ReadIni(ini, ini_keys::kCloseAsk), "1");
}

TEST(Config, RepairPutsBackBrokenValues) {
  struct Case {
    const char* key;
    const char* stored;
    const char* repaired;
  } cases[] = {
      {"ts", "0", "3"},          {"ts", "3", "3"},    {"ts", "7", "3"},      {"ts", "x", "3"},
      {"ts", "1", "1"},          {"ts", "2", "2"},    {"quit", "", "2"},     {"quit", "abc", "2"},
      {"quit", "1", "1"},        {"qvodk", "0", "2"}, {"h_w", "0", "13560"}, {"h_h", "", "8475"},
      {"h_w", "20000", "20000"}, {"s_pao", "1", "1"}, {"s_jd", "zz", "2"},   {"qvodqi", "1", "1"},
  };
  for (const Case& c : cases) {
    TempFolder dir;
    FakeMachine machine;
    const std::string ini = dir.File("config.ini");
    ASSERT_TRUE(CreateFirstRunConfig(ini, machine));
    ASSERT_TRUE(WriteIni(ini, "S_q", c.key, c.stored));
    ASSERT_TRUE(RepairConfig(ini, machine));
    EXPECT_EQ(ReadIni(ini, "S_q", c.key), c.repaired) << c.key << "=" << c.stored;
  }
}

TEST(Config, RepairOfIdentityAndVersion) {
  struct Case {
    const char* user;
    const char* ver;
    const char* userAfter;
    const char* verAfter;
  } cases[] = {
      {"0", "3.0", "00-1A-2B-3C-4D-5E", "3.0"},
      {"", "2.9", "00-1A-2B-3C-4D-5E", "3.0"},
      {"MYID", "3.00", "MYID", "3.0"},
  };
  for (const Case& c : cases) {
    TempFolder dir;
    FakeMachine machine;
    const std::string ini = dir.File("config.ini");
    // Written by hand in lower case: the same sections as "User" and "Ver".
    dir.Write("config.ini", std::string("[user]\r\nName=") + c.user + "\r\n[ver]\r\nName=" + c.ver + "\r\n");
    ASSERT_TRUE(RepairConfig(ini, machine));
    EXPECT_EQ(ReadIni(ini, "User", "Name"), c.userAfter);
    EXPECT_EQ(ReadIni(ini, "Ver", "Name"), c.verAfter);
    EXPECT_EQ(dir.Read("config.ini").find("[User]"), std::string::npos) << "no second section";
  }
}

TEST(Config, SkinNumberIsNeverRepaired) {
  TempFolder dir;
  FakeMachine machine;
  const std::string ini = dir.File("config.ini");
  ASSERT_TRUE(CreateFirstRunConfig(ini, machine));
  ASSERT_TRUE(WriteIni(ini, "Skin", "Num", "5"));
  ASSERT_TRUE(RepairConfig(ini, machine));
  EXPECT_EQ(ReadIni(ini, "Skin", "Num"), "5");
}

TEST(Config, GarbageFileIsRepairedWithoutLosingItsOtherLines) {
  TempFolder dir;
  FakeMachine machine;
  std::string garbage("\x01\x02 binary \xff\xfe\r\n[S_q]\r\nquit=1\r\n|odd|line|\r\n", 36);
  garbage += std::string(5000, 'z') + "\n[Skin]\nNum=2";
  dir.Write("config.ini", garbage);
  ASSERT_TRUE(RepairConfig(dir.File("config.ini"), machine));
  const std::string after = dir.Read("config.ini");
  EXPECT_EQ(after.rfind(garbage.substr(0, 20), 0), 0u) << "leading bytes kept";
  EXPECT_NE(after.find(std::string(5000, 'z')), std::string::npos);
  EXPECT_EQ(ReadIni(dir.File("config.ini"), "S_q", "quit"), "1");
  EXPECT_EQ(ReadIni(dir.File("config.ini"), "S_q", "ts"), "3");
  EXPECT_EQ(ReadIni(dir.File("config.ini"), "Skin", "Num"), "2");
}

TEST(MachineId, AdapterAddressAndRandomFallback) {
  FakeMachine machine;
  const std::pair<const char*, const char*> adapters[] = {
      {"00:1a:2b:3c:4d:5e", "00-1A-2B-3C-4D-5E"},
      {"00:00:00:00:00:00", ""},
      {"00:53:45:00:00:00", ""},
      {"", ""},
  };
  for (const auto& [raw, id] : adapters) {
    machine.adapter = raw;
    EXPECT_EQ(GetAdapterAddress(machine), id) << raw;
  }

  struct Case {
    LocalDateTime now;
    double random;
    const char* id;
  } cases[] = {
      {{2010, 10, 28, 9, 5, 7}, 473.5 / 900, "20101028957573"},
      {{2011, 1, 1, 0, 0, 0}, 0.0, "201111000100"},
      {{2026, 12, 31, 23, 59, 59}, 0.99999, "20261231235959999"},
      {{2026, 1, 1, 0, 0, 0}, 1.0, "202611000999"},  // a source that returns 1 stays in range
  };
  for (const Case& c : cases) {
    machine.now = c.now;
    machine.random = c.random;
    EXPECT_EQ(MakeRandomUserId(machine), c.id);
  }
  machine.adapter = "00:53:45:00:00:00";
  machine.now = {2011, 1, 1, 0, 0, 0};
  machine.random = 0.0;
  EXPECT_EQ(MakeUserId(machine), "201111000100");
}

}  // namespace
}  // namespace tavlin
