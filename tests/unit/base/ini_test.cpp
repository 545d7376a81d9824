#include "core/base/ini.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/base/config.h"
#include "support/temp_folder.h"

namespace tavlin {
namespace {

using testing::TempFolder;

TEST(ProfileText, ReadsLikeProfileStrings) {
  const ProfileText ini(
      "; comment\r\n[User]\r\nName = 00-1A \r\n[S_q]\r\nts=3\r\nempty=\r\nquoted=\"a b\"\r\n"
      "noequals\r\n[s_q]\r\nts=9\r\n");
  struct Case {
    const char* section;
    const char* key;
    std::optional<std::string> value;
  } cases[] = {
      {"user", "name", "00-1A"},  // case of section and key ignored, blanks trimmed
      {"S_Q", "TS", "3"},         // the first of two same-named sections wins
      {"S_q", "empty", ""},
      {"S_q", "quoted", "a b"},
      {"S_q", "missing", std::nullopt},
      {"S_q", "noequals", std::nullopt},
      {"nosuch", "ts", std::nullopt},
      {"User", "; comment", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(ini.Get(c.section, c.key), c.value) << c.section << "/" << c.key;
}

TEST(ProfileText, CutsLongValuesAtACharacterBoundary) {
  const std::string longAscii(300, 'x');
  EXPECT_EQ(ProfileText("[a]\nk=" + longAscii).Get("a", "k")->size(), 254u);
  std::string chinese;
  for (int i = 0; i < 100; ++i) chinese += "天";  // 3 bytes each
  const std::string cut = *ProfileText("[a]\nk=" + chinese).Get("a", "k");
  EXPECT_EQ(cut.size(), 252u);
}

TEST(ProfileText, WriteChangesOnlyItsLine) {
  struct Case {
    const char* before;
    const char* section;
    const char* key;
    const char* value;
    const char* after;
  } cases[] = {
      {"", "S_q", "ts", "3", "[S_q]\r\nts=3\r\n"},
      {"[S_q]\r\nts=3\r\n", "s_q", "TS", "1", "[S_q]\r\nTS=1\r\n"},
      {"; keep\r\n[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n", "A", "z", "9",
       "; keep\r\n[A]\r\nx=1\r\nz=9\r\n\r\n[B]\r\ny=2\r\n"},
      {"[A]\r\nx=1", "A", "y", "2", "[A]\r\nx=1\r\ny=2\r\n"},
      {"[A]\r\nx=1", "B", "y", "2", "[A]\r\nx=1\r\n[B]\r\ny=2\r\n"},
      {"[A]\nx=1\n[B]\nx=1\n", "B", "x", "5", "[A]\nx=1\n[B]\nx=5\n"},
      // A value cannot smuggle in a line of its own.
      {"[A]\r\n", "A", "k", "v\r\n[Evil]", "[A]\r\nk=v\r\n"},
  };
  for (const Case& c : cases) {
    ProfileText ini(c.before);
    ini.Set(c.section, c.key, c.value);
    EXPECT_EQ(ini.bytes(), c.after) << c.before;
  }
}

TEST(ProfileFile, MissingFileReadsNothingAndWriteCreatesIt) {
  TempFolder dir;
  const std::string path = dir.File("config.ini");
  EXPECT_EQ(ReadProfileString(path, "S_q", "ts"), std::nullopt);
  ASSERT_TRUE(WriteProfileString(path, "S_q", "ts", "3"));
  EXPECT_EQ(dir.Read("config.ini"), "[S_q]\r\nts=3\r\n");
  // No temporary file is left behind.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.dir()), {}), 1);
}

TEST(ProfileFile, UnreadableFileIsNeverReplaced) {
  TempFolder dir;
  std::filesystem::create_directories(dir.File("config.ini"));  // a folder in its place
  EXPECT_FALSE(WriteProfileString(dir.File("config.ini"), "S_q", "ts", "3"));
  EXPECT_TRUE(std::filesystem::is_directory(dir.File("config.ini")));
}

// A file saved by an editor that writes a byte-order mark: its first section is
// read, and a write changes that section instead of adding a second one.
TEST(ProfileText, AByteOrderMarkIsNoPartOfTheFirstSection) {
  ProfileText text("\xEF\xBB\xBF[S_q]\r\nts=1\r\nquit=1\r\n");
  EXPECT_EQ(text.Get("S_q", "ts"), "1");
  text.Set("S_q", "ts", "2");
  EXPECT_EQ(text.bytes(), "\xEF\xBB\xBF[S_q]\r\nts=2\r\nquit=1\r\n");
}

TEST(ReadIni, DefaultOnlyWhenTheKeyIsMissing) {
  TempFolder dir;
  dir.Write("config.ini", std::string("[S_q]\r\nempty=\r\nnul=ab\0cd\r\nv=2\r\n", 30));
  const std::string path = dir.File("config.ini");
  EXPECT_EQ(ReadIni(path, "S_q", "missing"), "0");
  EXPECT_EQ(ReadIni(path, "S_q", "empty"), "");
  EXPECT_EQ(ReadIni(path, "S_q", "nul"), "ab");
  EXPECT_EQ(ReadIni(path, "S_q", "v"), "2");
  EXPECT_EQ(ReadIni(dir.File("nofile.ini"), "S_q", "v"), "0");
  EXPECT_EQ(TrimAtNul(std::string("x\0y", 3)), "x");
  EXPECT_EQ(TrimAtNul("xy"), "xy");
}

}  // namespace
}  // namespace tavlin
