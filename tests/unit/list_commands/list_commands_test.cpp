// The list pages' commands on both lists, the entry menu with the deletion of a
// task's downloads, and the label above the lists.
#include <gtest/gtest.h>

#include "core/base/files.h"
#include "core/list_commands/list_commands.h"
#include "support/program_fixture.h"

namespace tavlin::testing {
namespace {

using list_commands::DownloadedFilesOf;

const std::string kBase = kPortal;

struct Lists : PlayerFixture {
  Lists() {
    dir.Write("date.dat",
              "123|abc|5|qvod%3A//9%7CAB%7C%u5267%u96C6%u7B2C5.rmvb%7C|2|5|420\r\n"
              "105|page|1|http%3A//x/a.mp4|1|1|0\r\n");
    dir.Write("clip.mp4", "x");
    dir.Write("date_f.dat", "clip.mp4|" + dir.File("clip.mp4") + "|77\r\ngone.mp4|/nowhere/gone.mp4|5\r\n");
  }
  std::string ListPage() { return dir.File("c.htm"); }
  bool Command(const std::string& view, const std::string& href) { return Follow(view, href, ListPage()); }
  std::string File(const char* name) { return *ReadWholeFile(dir.File(name)); }
  void LocalTab() { f->npc_Click(12); }
};

TEST(ListCommands, ReplayEntriesOfBothLists) {
  Lists t;
  EXPECT_TRUE(t.Command("Web3", "open://1/"));
  EXPECT_EQ(t.player.url, "qvod://9|AB|剧集第5.rmvb|");
  EXPECT_EQ(t.State().playback.ResumePosition, 420);
  EXPECT_EQ(t.f->bo_name.caption, "abc-5");
  EXPECT_EQ(t.views["Web5"].CurrentAddress(), kBase + "pp.htm?123-2-5-abc-0");
  EXPECT_EQ(t.State().episodes.CurrentEpisodeKey, "123-2-5-abc");
  EXPECT_EQ(t.State().playback.CurrentItemKey, "123");
  EXPECT_EQ(t.f->CurrentView, 9);

  // A page-player entry is started by its episode page.
  t.Command("Web3", "open://2");
  EXPECT_EQ(t.views["Web5"].CurrentAddress(), kBase + "pp.htm?105-1-1-page-11");
  EXPECT_EQ(t.State().playback.PlaysInPage, 1);
  EXPECT_EQ(t.State().playback.CurrentItemKey, "0");

  // The local list, from its own page (forwarded to Web3).
  t.LocalTab();
  t.Command("Web4", "open://1");
  EXPECT_EQ(t.player.url, t.dir.File("clip.mp4"));
  EXPECT_EQ(t.State().playback.ResumePosition, 77);
  EXPECT_EQ(t.State().playback.PlaySource, 2);
  EXPECT_EQ(t.State().episodes.CurrentEpisodeKey, "0");
  EXPECT_EQ(t.views["Web5"].CurrentAddress(), t.dir.File("c.htm"));
}

TEST(ListCommands, MissingLocalFileIsNamedAndLeavesTheList) {
  Lists t;
  t.LocalTab();
  t.player.url = "/m/playing.mp4";
  const int view = t.f->CurrentView;
  t.Command("Web3", "open://2");
  ASSERT_EQ(t.dialogs.asked.size(), 1u);
  EXPECT_EQ(t.dialogs.asked[0].first, "/nowhere/gone.mp4不存在");
  EXPECT_EQ(t.File("date_f.dat").find("gone.mp4"), std::string::npos);
  EXPECT_EQ(t.f->CurrentView, view);
}

TEST(ListCommands, EntriesThatAreNotThereDoNothing) {
  Lists t;
  t.player.url = "/m/playing.mp4";
  t.player.state = kStatePlaying;
  for (const char* href : {"open://x", "open://9", "open://0", "open://", "OPEN://1"}) t.Command("Web3", href);
  std::remove(t.dir.File("date.dat").c_str());
  t.Command("Web3", "open://1");
  EXPECT_TRUE(t.player.calls.empty()) << "the item playing goes on";
  EXPECT_EQ(t.player.url, "/m/playing.mp4");
  EXPECT_FALSE(FileExists(t.dir.File("date.dat"))) << "nothing creates a list";
}

TEST(ListCommands, DeleteFromEveryListPage) {
  Lists t;
  t.Command("Web5", "delk://1/");
  EXPECT_EQ(t.File("date.dat").substr(0, 4), "105|");
  EXPECT_FALSE(t.views["Web5"].calls.empty()) << "the side panel shows the list again";
  t.LocalTab();
  t.Command("Web4", "delk://2");
  EXPECT_EQ(t.File("date_f.dat").find("gone.mp4"), std::string::npos);
  EXPECT_NE(t.File("date.dat").find("105|"), std::string::npos) << "only the current tab's list";
  EXPECT_EQ(t.views["Web4"].calls, std::vector<std::string>{"refresh"});
  // From a page that is not a list page nothing is deleted.
  EXPECT_TRUE(t.Follow("Web3", "delk://1", kBase));
  EXPECT_NE(t.File("date_f.dat").find("clip.mp4"), std::string::npos);
}

TEST(ListCommands, EntryMenuReplaysAndDeletes) {
  Lists t;
  auto& links = t.program->links();
  links.ContextMenu("Web1", "open://1", kBase, 5, 5);  // the portal's own menu
  links.ContextMenu("Web3", "http://x/", t.ListPage(), 5, 5);
  // The side panel showing a page of the portal's or another site's: an entry
  // link there is not the list's, and no menu chooses it.
  for (const std::string& page :
       {kBase + "pp.htm?1-1-1-a-0", std::string("http://127.0.0.2:9/x.htm"), std::string("")}) {
    links.ContextMenu("Web5", "open://1", page, 5, 5);
  }
  EXPECT_EQ(t.menus.popups, std::vector<std::string>{"myMenu@pointer"});
  EXPECT_EQ(t.State().lists.SelectedListLink, "0");
  links.ContextMenu("Web3", "open://2", t.ListPage(), 5, 5);
  EXPECT_EQ(t.menus.popups.back(), "webc@pointer");
  EXPECT_EQ(t.State().lists.SelectedListLink, "open://2");
  t.program->tip().ItemClick("c_f");
  EXPECT_EQ(t.views["Web5"].CurrentAddress(), kBase + "pp.htm?105-1-1-page-11");
  t.program->tip().ItemClick("c_shan");
  EXPECT_EQ(t.File("date.dat").find("105|"), std::string::npos);
}

TEST(DownloadedFiles, HalfTheNameFromThreeCharactersOn) {
  const std::vector<std::string> names = {"abcde.rmvb", "abcdef.mp4", "abcxyz", "abcdefg.1", "abcd", "ab"};
  auto files = [&](const std::string& name) { return DownloadedFilesOf("qvod://1|H|" + name + "|", names); };
  EXPECT_EQ(files("abcde.rmvb"), (std::vector<std::string>{"abcde.rmvb", "abcdef.mp4", "abcdefg.1"}));  // 5: all five
  EXPECT_EQ(files("abcdef.rmvb"),
            (std::vector<std::string>{"abcde.rmvb", "abcdef.mp4", "abcxyz", "abcdefg.1", "abcd"}));  // 6: three
  EXPECT_EQ(files("abcdefg.rmvb"), (std::vector<std::string>{"abcde.rmvb", "abcdef.mp4", "abcdefg.1", "abcd"}));
  EXPECT_TRUE(files("noextension").empty());
  EXPECT_TRUE(DownloadedFilesOf("http://x/abcde.mp4", names).empty());
  // Characters, not bytes.
  EXPECT_EQ(DownloadedFilesOf("qvod://1|H|%u5267%u96C6%u7B2C%u4E94%u96C6.rmvb|", {"剧集第五集.mp4", "剧集.txt"}),
            std::vector<std::string>{"剧集第五集.mp4"});
}

// The player's settings name a download folder holding the task's files and others.
struct Downloads : Lists {
  TempFolder media;
  Downloads() {
    dir.Write("Qvod/QvodPlayer.xml", "<QvodPlayer>\r\n<Setting Defaultsavepath=\"" + media.dir() + "/\"/>\r\n");
    media.Write("剧集第5.rmvb", "1");
    media.Write("剧集第5.rmvb.part2", "2");
    media.Write("other.mp4", "3");
    dir.Write("剧集第5.rmvb", "outside");
    State().lists.SelectedListLink = "open://1";
  }
};

TEST(DeleteDownloads, AskedThenDeletedOnlyInTheDownloadFolder) {
  Downloads t;
  t.dialogs.answers = {Answer::Yes};
  t.program->tip().ItemClick("c_shan2");
  ASSERT_EQ(t.dialogs.asked.size(), 1u);
  EXPECT_EQ(t.dialogs.asked[0].second, "提示：");
  const std::string& question = t.dialogs.asked[0].first;
  EXPECT_EQ(question.rfind("确定要删除 [" + t.media.dir() + "/] 下面的这些文件吗？\n\n", 0), 0u) << question;
  EXPECT_NE(question.find("剧集第5.rmvb\n"), std::string::npos);
  EXPECT_NE(question.find("剧集第5.rmvb.part2\n"), std::string::npos);
  EXPECT_EQ(question.find("other"), std::string::npos);
  EXPECT_FALSE(FileExists(t.media.File("剧集第5.rmvb")));
  EXPECT_FALSE(FileExists(t.media.File("剧集第5.rmvb.part2")));
  EXPECT_TRUE(FileExists(t.media.File("other.mp4")));
  EXPECT_TRUE(FileExists(t.dir.File("剧集第5.rmvb")));
  EXPECT_EQ(t.File("date.dat").substr(0, 4), "105|") << "the task leaves the list";
  EXPECT_TRUE(t.shell.folders.empty());
  EXPECT_TRUE(t.Balloons().empty());
}

TEST(DeleteDownloads, AnsweredNoOpensTheFolderAndStillRemovesTheTask) {
  Downloads t;
  t.program->tip().ItemClick("c_shan2");
  EXPECT_TRUE(FileExists(t.media.File("剧集第5.rmvb")));
  EXPECT_EQ(t.shell.folders, std::vector<std::string>{t.media.dir() + "/"});
  EXPECT_EQ(t.File("date.dat").substr(0, 4), "105|");
}

TEST(ListLabel, ClearsTheLocalListOrOffersTheNetworkMenu) {
  Lists t;
  t.Click({"qk", std::nullopt});
  EXPECT_EQ(t.menus.popups, std::vector<std::string>{"c_fie@pointer"});
  t.dialogs.answers = {Answer::Yes};
  t.program->tip().ItemClick("renwub");
  EXPECT_EQ(t.dialogs.asked.back().first, "确定要删除全部[网络任务]列表吗？");
  EXPECT_EQ(t.File("date.dat"), "\r\n");

  t.LocalTab();
  t.Click({"qk", std::nullopt});
  EXPECT_EQ(t.File("date_f.dat"), "clip.mp4|" + t.dir.File("clip.mp4") + "|77\r\ngone.mp4|/nowhere/gone.mp4|5\r\n")
      << "answered No";
  t.dialogs.answers = {Answer::Yes};
  std::remove(t.dir.File("f.htm").c_str());
  t.Click({"qk", std::nullopt});
  EXPECT_EQ(t.dialogs.asked.back().first, "确定要删除全部[本地播放]列表吗？");
  EXPECT_EQ(t.File("date_f.dat"), "\r\n");
  EXPECT_TRUE(FileExists(t.dir.File("f.htm"))) << "the page is written again";

  // A list without a file stays without one.
  std::remove(t.dir.File("date_f.dat").c_str());
  t.dialogs.answers = {Answer::Yes};
  t.Click({"qk", std::nullopt});
  EXPECT_FALSE(FileExists(t.dir.File("date_f.dat")));
}

TEST(ListLabel, DownloadFolderOpensOnlyWithFilesAndUnpinsTheWindow) {
  Downloads t;
  t.f->npc_Click(4);
  ASSERT_EQ(t.f->npc[4].tooltip, "取消置顶");
  t.program->tip().ItemClick("wenjianb");
  EXPECT_EQ(t.shell.folders, std::vector<std::string>{t.media.dir() + "/"});
  EXPECT_EQ(t.f->npc[4].tooltip, "置顶");
  for (const char* name : {"剧集第5.rmvb", "剧集第5.rmvb.part2", "other.mp4"}) std::remove(t.media.File(name).c_str());
  t.program->tip().ItemClick("wenjianb");
  EXPECT_EQ(t.shell.folders.size(), 1u);
}

}  // namespace
}  // namespace tavlin::testing
