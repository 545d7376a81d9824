#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "test_support.h"
#include "ui/player/player_folders.h"

namespace tavlin {
namespace {

void WriteXml(const QString& home, const QByteArray& text) {
  QDir().mkpath(home + "Qvod");
  QFile file(home + "Qvod/QvodPlayer.xml");
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(text);
}

TEST(PlayerFolders, DownloadFolderComesFromTheFirstDefaultsavepathLine) {
  struct Case {
    const char* name;
    QByteArray xml;
    QString expected;  // "%H" stands for the home folder
  } cases[] = {
      {"plain", "<a>\r\n<S Defaultsavepath=\"/data/films/\" x=\"1\"/>\r\n", "/data/films/"},
      {"slash added", "<S Defaultsavepath=\"/data/films\"/>", "/data/films/"},
      {"first entry wins", "Defaultsavepath=\"/one/\"\nDefaultsavepath=\"/two/\"\n", "/one/"},
      {"windows separators", "Defaultsavepath=\"/data\\films\\\"", "/data/films/"},
      {"relative refused", "Defaultsavepath=\"Media\\\"", "%HMedia/"},
      {"Windows drive refused", "Defaultsavepath=\"D:\\Media\\\"", "%HMedia/"},
      {"no closing quote", "Defaultsavepath=\"/data/films/", "%HMedia/"},
      {"no entry", "<QvodPlayer/>", "%HMedia/"},
      {"empty value", "Defaultsavepath=\"\"", "%HMedia/"},
  };
  for (const Case& c : cases) {
    test::ScopedHome home;
    WriteXml(home.Path(), c.xml);
    QString expected = c.expected;
    expected.replace("%H", home.Path());
    EXPECT_EQ(DownloadFolder(), expected) << c.name;
  }
}

TEST(PlayerFolders, MissingSettingsFileIsWrittenWithTheDefaultFolder) {
  test::ScopedHome home;
  EXPECT_EQ(DownloadFolder(), home.MediaFolder());
  const std::string written = test::ReadBytes(home.Path() + "Qvod/QvodPlayer.xml");
  EXPECT_NE(written.find("Defaultsavepath=\"" + home.MediaFolder().toStdString() + "\""),
            std::string::npos);
  EXPECT_EQ(DownloadFolder(), home.MediaFolder());  // read back from the file now
}

TEST(PlayerFolders, SeedBaseIsTheOriginOfThePortal) {
  const std::pair<const char*, const char*> cases[] = {
      {"http://127.0.0.1:47300/soft/", "http://127.0.0.1:47300/seed/"},
      {"http://127.0.0.1:8080/a/b/soft/", "http://127.0.0.1:8080/seed/"},
      {"https://portal.example/soft/", "https://portal.example/seed/"},
  };
  for (const auto& [portal, seed] : cases) EXPECT_EQ(SeedBaseAddress(portal), seed) << portal;
}

}  // namespace
}  // namespace tavlin
