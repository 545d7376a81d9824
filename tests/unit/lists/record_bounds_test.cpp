// The texts of a history record come from a page's play link: whatever a page puts
// there, the list keeps its grammar and its size.
#include <gtest/gtest.h>

#include <climits>

#include "core/base/text.h"
#include "core/lists/list_files.h"
#include "support/temp_folder.h"

namespace tavlin {
namespace {

using testing::TempFolder;

struct History {
  TempFolder dir;
  ListStore lists{dir.dir(), nullptr};
  History() { dir.Write("date.dat", "\r\n"); }
  std::vector<std::string> Records() {
    std::vector<std::string> out;
    for (const std::string& line : ReadListLines(dir.Read("date.dat"))) {
      if (IsRecord(line)) out.push_back(line);
    }
    return out;
  }
};

TEST(HistoryBounds, AFloodOfHugeLinksLeavesASmallWellFormedList) {
  History h;
  // Every text at its worst: megabytes, separators, line breaks, escapes and
  // multi-byte characters; numbers at their longest.
  std::string title;
  while (title.size() < 3u << 20) title += "%u5929天|\r\n";
  const std::string episode(1u << 20, '|');
  std::string address = "http%3A//127.0.0.1/";
  address += std::string(kMaxAddressBytes - address.size(), 'a');
  for (int i = 0; i < 130; ++i) {
    ASSERT_TRUE(h.lists.AddHistoryEntry(INT_MIN + i, title, episode, address, INT_MIN, INT_MIN, 0));
  }
  ASSERT_TRUE(h.lists.SaveHistoryPosition(INT_MIN + 129, INT_MIN));

  const size_t list = h.dir.Read("date.dat").size(), page = h.dir.Read("c.htm").size();
  RecordProperty("date.dat", static_cast<int>(list));
  RecordProperty("c.htm", static_cast<int>(page));
  EXPECT_LE(list, 100u * 1024);
  EXPECT_LE(page, 256u * 1024);
  const std::vector<std::string> records = h.Records();
  ASSERT_EQ(records.size(), 101u);
  for (const std::string& r : records) {
    const std::vector<std::string> fields = Split(r, "|");
    ASSERT_EQ(fields.size(), 7u) << r.substr(0, 80);
    EXPECT_EQ(fields[3], address) << "an address within its bound is kept whole";
    EXPECT_EQ(fields[4], std::to_string(INT_MIN));
  }
}

TEST(HistoryBounds, SeparatorsAndLineBreaksAreMendedWithoutShiftingFields) {
  History h;
  ASSERT_TRUE(h.lists.AddHistoryEntry(7, "a|b\r\nc", "第1|集", "http%3A//x/a|b", 2, 5, 0));
  ASSERT_TRUE(h.lists.AddHistoryEntry(8, "next", "1", "qvod%3A//1", 1, 1, 0));
  ASSERT_TRUE(h.lists.SaveHistoryPosition(7, 754));
  EXPECT_EQ(h.Records(),
            (std::vector<std::string>{"8|next|1|qvod%3A//1|1|1|0", "7|a%7Cb  c|第1%7C集|http%3A//x/a%7Cb|2|5|754"}));
  // Shown as the page wrote it, and played from the address it gave.
  EXPECT_NE(h.dir.Read("c.htm").find(">·a|b  c</a>"), std::string::npos);
  EXPECT_EQ(UnescapeText(Split(h.Records()[1], "|")[3]), "http://x/a|b");
}

TEST(HistoryBounds, ACutTitleEndsOnAWholeCharacterAndAWholeEscape) {
  const std::string x299(299, 'x'), x298(298, 'x');
  struct Case {
    std::string title, stored;
  };
  for (const Case& c : {Case{x299 + "%u5929", x299}, Case{x298 + "%41%42", x298}, Case{x298 + "天", x298},
                        Case{x299 + "|", x299}, Case{std::string(297, 'x') + "%7C", std::string(297, 'x') + "%7C"}}) {
    History h;
    ASSERT_TRUE(h.lists.AddHistoryEntry(1, c.title, "e", "a", 1, 1, 0));
    EXPECT_EQ(Split(h.Records()[0], "|")[1], c.stored);
  }
}

TEST(HistoryBounds, AnOverlongAddressIsNotRecordedAndOverlongOldLinesGo) {
  History h;
  const std::string kept = "5|kept|1|a|1|1|9";
  h.dir.Write("date.dat", "4|" + std::string(3u << 20, 't') + "|1|a|1|1|0\r\n" + kept + "\r\n");
  ASSERT_TRUE(h.lists.AddHistoryEntry(6, "t", "e", std::string(kMaxAddressBytes + 1, 'a'), 1, 1, 0));
  EXPECT_EQ(h.Records().size(), 2u) << "nothing written";
  ASSERT_TRUE(h.lists.AddHistoryEntry(6, "t", "e", "a", 1, 1, 0));
  EXPECT_EQ(h.Records(), (std::vector<std::string>{"6|t|e|a|1|1|0", kept}));
}

}  // namespace
}  // namespace tavlin
