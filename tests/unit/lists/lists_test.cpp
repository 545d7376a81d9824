#include "core/lists/list_files.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/temp_folder.h"

namespace tavlin {
namespace {

using testing::TempFolder;

class RecordingNavigator final : public ViewNavigator {
 public:
  void Navigate2(const std::string& view, const std::string& address) override {
    calls.push_back(view + " " + address);
  }
  std::vector<std::string> calls;
};

std::string Lines(std::initializer_list<std::string> lines) {
  std::string out;
  for (const std::string& l : lines) out += l + "\r\n";
  return out;
}

TEST(ListLines, NumbersPhysicalLines) {
  EXPECT_TRUE(ReadListLines("").empty());
  EXPECT_EQ(ReadListLines("\r\n"), std::vector<std::string>{""});
  EXPECT_EQ(ReadListLines("a\r\n\r\nb"), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_EQ(ReadListLines("a\nb\r\n"), (std::vector<std::string>{"a", "b"}));
}

TEST(AddRecord, PutsTheRecordOnTopAndDropsTheOldOne) {
  EXPECT_EQ(AddHistoryRecord("\r\n", "1|t|e|a|2|3|0", 1), "1|t|e|a|2|3|0\r\n\r\n");
  std::string file;
  for (int i = 1; i <= 9; ++i) file += std::to_string(i) + "|t" + std::to_string(i) + "|e|a|1|0|5\r\n";
  const std::vector<std::string> lines = ReadListLines(AddHistoryRecord(file, "7|new|e|a|1|0|0", 7));
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[0], "7|new|e|a|1|0|0");
  EXPECT_EQ(lines[6], "6|t6|e|a|1|0|5");
  EXPECT_EQ(lines[7], "8|t8|e|a|1|0|5");
  // Ids compare as numbers; a key that is no number never matches.
  EXPECT_EQ(AddHistoryRecord("007|x|e|a|1|0|0\r\nabc|y|e|a|1|0|0\r\n", "7|z|e|a|1|0|0", 7),
            "7|z|e|a|1|0|0\r\nabc|y|e|a|1|0|0\r\n");
  // Local paths compare as text, letter case included.
  EXPECT_EQ(AddLocalRecord("a|/M/A.avi|3\r\nb|/m/a.avi|4\r\n", "a|/m/a.avi|0", "/m/a.avi"),
            "a|/m/a.avi|0\r\na|/M/A.avi|3\r\n");
}

TEST(AddRecord, KeepsAtMostAHundredOldLines) {
  std::string file;
  for (int i = 1; i <= 150; ++i) file += std::to_string(i) + "|t|e|a|1|0|0\r\n";
  const std::vector<std::string> lines = ReadListLines(AddHistoryRecord(file, "999|n|e|a|1|0|0", 999));
  ASSERT_EQ(lines.size(), 101u);
  EXPECT_EQ(lines[100], "100|t|e|a|1|0|0");
  // Lines that are no records use up the hundred but are not kept.
  const std::vector<std::string> sparse =
      ReadListLines(AddHistoryRecord(std::string("\r\n\r\n") + file, "999|n|e|a|1|0|0", 999));
  EXPECT_EQ(sparse.size(), 99u);
}

TEST(SavePosition, RewritesOnlyTheMatchingRecords) {
  const std::string history = Lines({"5|a|e|x|1|0|0", "", "123|b|e|y|2|5|0", "9|c", "123|d|e|z|2|6|1|extra"});
  EXPECT_EQ(SaveHistoryPositionIn(history, 123, 754),
            Lines({"5|a|e|x|1|0|0", "123|b|e|y|2|5|754", "9|c", "123|d|e|z|2|6|754"}));
  EXPECT_EQ(SaveHistoryPositionIn("1|short\r\n", 1, 9), "1|short|||||9\r\n");
  EXPECT_EQ(SaveLocalPositionIn(Lines({"", "a|/x|0", "b|/y|2"}), "/nope", 5), Lines({"a|/x|0", "b|/y|2"}));
  EXPECT_EQ(SaveLocalPositionIn(Lines({"a|/x|0", "b|/y|2"}), "/y", 61), Lines({"a|/x|0", "b|/y|61"}));
  EXPECT_EQ(SaveLocalPositionIn("\r\n", "/y", 61), "\r\n");
}

TEST(DeleteLine, RemovesThatPhysicalLine) {
  EXPECT_EQ(DeleteLineIn("1|a|e|x|1|0|0\r\n\r\n", 1), "\r\n");
  // Up to two trailing line breaks go, so an empty line left at the end goes too.
  EXPECT_EQ(DeleteLineIn(Lines({"a|1|0", "", "b|2|0"}), 3), "a|1|0\r\n");
  EXPECT_EQ(DeleteLineIn(Lines({"a|1|0", "", "", "b|2|0"}), 4), "a|1|0\r\n\r\n");
  EXPECT_EQ(DeleteLineIn(Lines({"a|1|0", "b|2|0"}), 1), Lines({"b|2|0"}));
  EXPECT_EQ(DeleteLineIn(Lines({"a|1|0"}), 0), Lines({"a|1|0"}));
  EXPECT_EQ(DeleteLineIn(Lines({"a|1|0"}), 99), Lines({"a|1|0"}));
}

TEST(ListStore, AddRendersThePageAndTellsItsView) {
  TempFolder dir;
  RecordingNavigator views;
  ListStore lists(dir.dir(), &views);
  dir.Write("date.dat", "\r\n");
  dir.Write("date_f.dat", "\r\n");
  ASSERT_TRUE(lists.AddHistoryEntry(123, "%u5929", "第1集", "qvod%3A//x", 2, 5, 0));
  EXPECT_EQ(dir.Read("date.dat"), "123|%u5929|第1集|qvod%3A//x|2|5|0\r\n\r\n");
  EXPECT_NE(dir.Read("c.htm").find("open://1>·天</a>"), std::string::npos);
  ASSERT_TRUE(lists.AddLocalEntry("c.rmvb", "/a b/c.rmvb", 0));
  EXPECT_EQ(dir.Read("date_f.dat"), "c.rmvb|/a b/c.rmvb|0\r\n\r\n");
  EXPECT_EQ(views.calls, (std::vector<std::string>{"Web3 " + dir.File("c.htm"), "Web4 " + dir.File("f.htm")}));

  ASSERT_TRUE(lists.SaveLocalPosition("/a b/c.rmvb", 42));
  EXPECT_EQ(dir.Read("date_f.dat"), "c.rmvb|/a b/c.rmvb|42\r\n");
  EXPECT_EQ(views.calls.size(), 2u) << "saving a position renders nothing";

  ASSERT_TRUE(lists.DeleteListLine("date_f.dat", 1));
  EXPECT_EQ(dir.Read("date_f.dat"), "\r\n");
  EXPECT_NE(dir.Read("f.htm").find("暂无观看记录"), std::string::npos);
}

TEST(ListStore, MissingListChangesNothing) {
  TempFolder dir;
  RecordingNavigator views;
  ListStore lists(dir.dir(), &views);
  EXPECT_FALSE(lists.AddHistoryEntry(1, "t", "e", "a", 1, 1, 0));
  EXPECT_FALSE(lists.SaveLocalPosition("/x", 3));
  EXPECT_FALSE(lists.DeleteListLine("date.dat", 1));
  EXPECT_FALSE(dir.Exists("date.dat"));
  EXPECT_FALSE(dir.Exists("c.htm"));
  EXPECT_TRUE(views.calls.empty());
  // Only the two lists can be named.
  dir.Write("config.ini", "[S_q]\r\nts=3\r\n");
  EXPECT_FALSE(lists.DeleteListLine("config.ini", 1));
  EXPECT_FALSE(lists.DeleteListLine("../date.dat", 1));
  EXPECT_EQ(dir.Read("config.ini"), "[S_q]\r\nts=3\r\n");
}

TEST(ListStore, LineBreaksInFieldsCannotSplitARecord) {
  TempFolder dir;
  ListStore lists(dir.dir(), nullptr);
  dir.Write("date_f.dat", "\r\n");
  ASSERT_TRUE(lists.AddLocalEntry("a\r\nb|c|0", "/x\ny", 0));
  EXPECT_EQ(ReadListLines(dir.Read("date_f.dat")).size(), 2u);
}

}  // namespace
}  // namespace tavlin

namespace tavlin {
namespace {

// Files edited by hand, cut short or damaged: read, changed and rendered without a
// crash, and without losing the records that are intact.
TEST(ListStore, DamagedFilesAreHandledLineByLine) {
  const std::string damaged[] = {
      std::string("\x00\xff|\x01bin|x\r\n", 11),
      std::string(100000, 'a') + "|long\r\n",
      "|||||||||||\r\n",
      "12|only-two\r\n",
      "no newline at end|/x|5",
      "\n\r\n\r\r\n",
      "5|%u|%zz|a|b|c|d|e|f\r\n",
  };
  for (const std::string& junk : damaged) {
    testing::TempFolder dir;
    ListStore lists(dir.dir(), nullptr);
    dir.Write("date.dat", junk + "\r\n77|kept|e|a|1|2|3\r\n");
    dir.Write("date_f.dat", junk + "\r\nname|/kept|3\r\n");
    EXPECT_TRUE(lists.RenderListPage("date.dat"));
    EXPECT_TRUE(lists.RenderListPage("date_f.dat"));
    EXPECT_TRUE(lists.SaveHistoryPosition(77, 9));
    EXPECT_NE(dir.Read("date.dat").find("77|kept|e|a|1|2|9\r\n"), std::string::npos);
    EXPECT_TRUE(lists.AddHistoryEntry(1, "t", "e", "a", 1, 1, 0));
    EXPECT_NE(dir.Read("date.dat").find("77|kept|e|a|1|2|9"), std::string::npos);
    EXPECT_TRUE(lists.AddLocalEntry("n", "/new", 0));
    EXPECT_NE(dir.Read("date_f.dat").find("name|/kept|3"), std::string::npos);
    EXPECT_TRUE(lists.DeleteListLine("date_f.dat", 1));
    EXPECT_NE(dir.Read("f.htm").find(">·name</a>"), std::string::npos);
  }
}

}  // namespace
}  // namespace tavlin
