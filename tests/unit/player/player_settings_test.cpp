#include "core/player/player_settings.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_folder.h"

namespace tavlin::player {
namespace {

using tavlin::testing::TempFolder;

constexpr const char* kFallback = "/home/u/Media/";

TEST(PlayerSettings, SavePathComesFromTheFirstDefaultsavepathLine) {
  using namespace std::string_literals;
  const struct {
    const char* name;
    std::string xml;
    std::string expected;
  } cases[] = {
      {"plain", "<a>\r\n<S Defaultsavepath=\"/data/films/\" x=\"1\"/>\r\n", "/data/films/"},
      {"slash added", "<S Defaultsavepath=\"/data/films\"/>", "/data/films/"},
      {"trimmed", "Defaultsavepath=\" /data/films \t\"", "/data/films/"},
      {"first entry wins", "Defaultsavepath=\"/one/\"\nDefaultsavepath=\"/two/\"\n", "/one/"},
      {"windows separators", "Defaultsavepath=\"/data\\films\\\"", "/data/films/"},
      {"relative refused", "Defaultsavepath=\"Media\\\"", kFallback},
      {"Windows drive refused", "Defaultsavepath=\"D:\\Media\\\"", kFallback},
      {"no closing quote", "Defaultsavepath=\"/data/films/", kFallback},
      {"quote closed on a later line", "Defaultsavepath=\"/data/\nfilms\"", kFallback},
      {"NUL inside", "Defaultsavepath=\"/data\0/films/\""s, kFallback},
      {"no entry", "<QvodPlayer/>", kFallback},
      {"empty value", "Defaultsavepath=\"\"", kFallback},
      {"empty file", "", kFallback},
  };
  for (const auto& c : cases) EXPECT_EQ(SavePathFrom(c.xml, kFallback), c.expected) << c.name;
  EXPECT_EQ(SavePathFrom("", "/home/u/Media"), kFallback) << "the fallback also ends in a slash";
}

TEST(PlayerSettings, DefaultFileNamesTheHomeMediaFolderAndReadsBackAsIt) {
  EXPECT_EQ(DefaultSavePath("/home/u"), kFallback);
  EXPECT_EQ(DefaultSavePath("/home/u/"), kFallback);
  EXPECT_EQ(DefaultSavePath(""), "/Media/");
  // The settings dialog reads this exact layout.
  EXPECT_EQ(DefaultPlayerSettings(kFallback),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<QvodPlayer>\r\n"
            "<Setting Defaultsavepath=\"/home/u/Media/\" />\r\n</QvodPlayer>\r\n");
  EXPECT_EQ(SavePathFrom(DefaultPlayerSettings("/srv/films/"), kFallback), "/srv/films/");
}

TEST(PlayerSettings, ReadingNeverCreatesOrChangesTheFile) {
  TempFolder dir;
  const std::string path = dir.File(kPlayerSettingsFile);
  EXPECT_EQ(ReadSavePath(path, kFallback), kFallback);
  EXPECT_TRUE(std::filesystem::is_empty(dir.dir())) << "no Qvod folder, no file";

  std::filesystem::create_directories(dir.File("Qvod"));
  const std::string text = "<Setting Defaultsavepath=\"/srv/films\" />";
  dir.Write(kPlayerSettingsFile, text);
  const auto written = std::filesystem::last_write_time(path);
  EXPECT_EQ(ReadSavePath(path, kFallback), "/srv/films/");
  EXPECT_EQ(dir.Read(kPlayerSettingsFile), text);
  EXPECT_EQ(std::filesystem::last_write_time(path), written);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.File("Qvod")), {}), 1);
}

TEST(PlayerSettings, MissingFileIsWrittenOnceAndAnExistingOneIsKept) {
  TempFolder dir;
  const std::string path = dir.File(kPlayerSettingsFile);
  ASSERT_TRUE(WritePlayerSettingsIfMissing(path, "/srv/films/"));
  EXPECT_EQ(dir.Read(kPlayerSettingsFile), DefaultPlayerSettings("/srv/films/"));

  dir.Write(kPlayerSettingsFile, "<Setting Defaultsavepath=\"/mine/\" />");
  EXPECT_TRUE(WritePlayerSettingsIfMissing(path, "/srv/films/"));
  EXPECT_EQ(ReadSavePath(path, kFallback), "/mine/");

  // A plain file where the folder should be: reported, nothing written.
  TempFolder blocked;
  blocked.Write("Qvod", "not a folder");
  EXPECT_FALSE(WritePlayerSettingsIfMissing(blocked.File(kPlayerSettingsFile), "/srv/films/"));
  EXPECT_EQ(blocked.Read("Qvod"), "not a folder");
}

}  // namespace
}  // namespace tavlin::player
