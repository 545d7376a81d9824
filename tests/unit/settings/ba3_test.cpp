// The settings dialog against a real program folder: what it shows, what Apply
// writes, and that the download folder changes only when the user changed it.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/base/files.h"
#include "core/player/player_settings.h"
#include "core/settings/save_path_entry.h"
#include "support/failing_files.h"
#include "support/program_fixture.h"

namespace tavlin::testing {
namespace {

constexpr const char* kXml = "Qvod/QvodPlayer.xml";

struct SettingsFixture : ProgramFixture {
  settings::BA3* d = nullptr;
  std::string media;  // an existing folder, with its slash
  std::string other;
  SettingsFixture() {
    Load();
    d = &program->ba3();
    std::filesystem::create_directories(dir.File("media"));
    std::filesystem::create_directories(dir.File("other"));
    media = dir.File("media") + "/";
    other = dir.File("other") + "/";
    processes.running = {{11, "QvodPlayer.exe", "/opt/q/QvodPlayer.exe"},
                         {12, "QvodTerminal.exe", "/opt/q/QvodTerminal.exe"}};
  }
  std::string Xml() { return ReadWholeFile(dir.File(kXml)).value_or("<missing>"); }
  void Click(const char* control, std::optional<int> index = std::nullopt) {
    d->input.Raise(forms::InputEvent::OnControl(forms::InputEvent::Click, {control, index}, forms::kLeftButton));
  }
};

TEST(SettingsDialog, ShowsEachOptionTickedUnlessItReadsOneAndApplyWritesTheTicksBack) {
  SettingsFixture t;
  const std::pair<const char*, const char*> stored[] = {{"quit", "1"},   {"qvodk", "0"},  {"s_size", "abc"},
                                                        {"s_h", "2"},    {"s_bo", ""},    {"s_jd", " 1 "},
                                                        {"qvodqi", "7"}, {"s_pao", "1.0"}};
  for (const auto& [key, value] : stored) t.SetIni("S_q", key, value);
  t.d->Show();
  EXPECT_TRUE(t.d->window.visible);
  // Check box -> key: 5 quit, 6 qvodk, 0 s_size, 1 s_h, 2 s_bo, 3 s_jd, 7 qvodqi, 8 s_pao.
  const std::pair<int, bool> ticks[] = {{5, false}, {6, true},  {0, true}, {1, true},
                                        {2, true},  {3, false}, {7, true}, {8, false}};
  for (const auto& [box, ticked] : ticks) EXPECT_EQ(t.d->Check1[box].checked, ticked) << box;

  t.Click("Check1", 5);  // quit on
  t.Click("Check1", 1);  // s_h off
  const std::string before = ReadWholeFile(t.dir.File("config.ini")).value();
  t.Click("cmdCancel");
  EXPECT_FALSE(t.d->window.visible);
  EXPECT_EQ(ReadWholeFile(t.dir.File("config.ini")).value(), before);

  t.d->Show();
  t.Click("Check1", 5);
  t.Click("Check1", 1);
  t.Click("cmdOK");
  const std::pair<const char*, const char*> written[] = {{"quit", "2"},   {"qvodk", "2"}, {"s_size", "2"},
                                                         {"s_h", "1"},    {"s_bo", "2"},  {"s_jd", "1"},
                                                         {"qvodqi", "2"}, {"s_pao", "1"}};
  for (const auto& [key, value] : written) EXPECT_EQ(t.Ini("S_q", key), value) << key;
  EXPECT_FALSE(t.d->window.visible);
  EXPECT_TRUE(t.processes.terminated.empty());
  EXPECT_TRUE(t.dialogs.asked.empty());
}

TEST(SettingsDialog, ApplyWithoutANewFolderTouchesNeitherTheFileNorThePlayer) {
  for (const bool withFile : {false, true}) {
    SettingsFixture t;
    std::filesystem::remove(t.dir.File(kXml));
    // A file without an entry, or none at all: the folder shown is the one the player uses.
    if (withFile) t.dir.Write(kXml, "<QvodPlayer>\r\n<Other a=\"1\" />\r\n</QvodPlayer>\r\n");
    t.d->Show();
    const std::string shown = t.d->Text1.caption;
    EXPECT_EQ(shown.back(), '/');
    EXPECT_EQ(shown.front(), '/');
    t.Click("cmdApply");
    t.Click("cmdOK");
    EXPECT_EQ(t.Xml(), withFile ? "<QvodPlayer>\r\n<Other a=\"1\" />\r\n</QvodPlayer>\r\n" : "<missing>");
    EXPECT_TRUE(t.processes.terminated.empty());
    EXPECT_TRUE(t.player.downloadFolder.empty());
    EXPECT_TRUE(t.dialogs.asked.empty());
  }
}

TEST(SettingsDialog, AChosenFolderReplacesOnlyTheEntryAndReachesThePlayer) {
  SettingsFixture t;
  const std::string xml = "<?xml version=\"1.0\"?>\r\n<QvodPlayer>\r\n<Setting Defaultsavepath=\"" + t.media +
                          "\" Skin=\"blue\" />\r\n<Cache Defaultsavepath=\"" + t.media + "\"/>\r\n</QvodPlayer>";
  t.dir.Write(kXml, xml);
  t.d->Show();
  EXPECT_EQ(t.d->Text1.caption, t.media);

  t.dialogs.folder.reset();  // a cancelled browse keeps the folder
  t.Click("Command1");
  EXPECT_EQ(t.d->Text1.caption, t.media);
  t.dialogs.folder = t.dir.File("other");  // no slash: one is added
  t.Click("Command1");
  EXPECT_EQ(t.dialogs.browsed.back(), std::make_pair(std::string("请选择影片下载存放的文件夹"), t.media));
  EXPECT_EQ(t.d->Text1.caption, t.other);

  t.Click("cmdApply");
  EXPECT_EQ(t.Xml(), ReplaceAll(xml, "\"" + t.media + "\"", "\"" + t.other + "\""));
  EXPECT_EQ(t.processes.terminated, (std::vector<int>{11, 12}));
  EXPECT_EQ(t.player.downloadFolder, t.other);
  ASSERT_EQ(t.dialogs.asked.size(), 1u);
  EXPECT_EQ(t.dialogs.asked[0].first, settings::kFolderChangedText);
  // Applied once, the folder is the dialog's own again: a second Apply does nothing.
  t.Click("cmdApply");
  EXPECT_EQ(t.dialogs.asked.size(), 1u);
}

TEST(SettingsDialog, RefusesAFolderItCannotUseAndKeepsEverythingAsItWas) {
  SettingsFixture t;
  t.dir.Write(kXml, player::DefaultPlayerSettings(t.media));
  const std::string unusable[] = {t.dir.File("gone") + "/", t.dir.File("config.ini") + "/", t.media + "a\"b/"};
  for (const auto& folder : unusable) {
    t.d->Show();
    t.d->Text1_Change(folder);
    t.Click("cmdOK");
    EXPECT_TRUE(t.d->window.visible) << folder;  // stays open to be corrected
  }
  {
    FailingFiles disk;
    disk.RefuseNewFiles();  // the folder exists but nothing can be written in it
    t.d->Text1_Change(t.other);
    t.Click("cmdApply");
  }
  ASSERT_EQ(t.dialogs.asked.size(), 4u);
  for (const auto& [text, title] : t.dialogs.asked) {
    EXPECT_NE(text.find("无法使用这个下载路径"), std::string::npos);
    EXPECT_EQ(title, "提示：");
  }
  EXPECT_EQ(t.Xml(), player::DefaultPlayerSettings(t.media));
  EXPECT_TRUE(t.processes.terminated.empty());
  EXPECT_TRUE(t.player.downloadFolder.empty());
}

TEST(SettingsDialog, ASettingsFileThatCannotBeReplacedIsReportedNotCelebrated) {
  SettingsFixture t;
  t.dir.Write(kXml, player::DefaultPlayerSettings(t.media));
  t.d->Show();
  t.d->Text1_Change(t.other);
  FailingFiles disk;
  disk.RefuseReplacing();
  t.Click("cmdOK");
  disk.Heal();
  EXPECT_EQ(t.Xml(), player::DefaultPlayerSettings(t.media));
  ASSERT_FALSE(t.dialogs.asked.empty());
  EXPECT_NE(t.dialogs.asked.back().first, settings::kFolderChangedText);
  EXPECT_TRUE(t.player.downloadFolder.empty());
  EXPECT_TRUE(t.d->window.visible);
}

TEST(SavePathEntry, AFileWithoutAnEntryGainsOneAndKeepsTheRest) {
  EXPECT_EQ(settings::WithSavePath("", "/m/"), player::DefaultPlayerSettings("/m/"));
  EXPECT_EQ(settings::WithSavePath("<QvodPlayer>\r\n<A/>\r\n</QvodPlayer>\r\n", "/m/"),
            "<QvodPlayer>\r\n<A/>\r\n<Setting Defaultsavepath=\"/m/\" />\r\n</QvodPlayer>\r\n");
  // An entry that does not close on its line is not an entry.
  EXPECT_EQ(settings::RawSavePathEntry("Defaultsavepath=\"/a\n\"/"), std::nullopt);
  EXPECT_EQ(player::SavePathFrom(settings::WithSavePath("<x>", "/new/"), "/fallback/"), "/new/");
}

}  // namespace
}  // namespace tavlin::testing
