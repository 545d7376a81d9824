// Atomic rewrites as a user's files expect them: the mode and the symlink stay, new
// files follow the umask, and the program's own leftovers are recognised.
#include "core/base/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <filesystem>

#include "support/temp_folder.h"

namespace tavlin {
namespace {

using testing::TempFolder;
namespace fs = std::filesystem;

mode_t ModeOf(const std::string& path) {
  struct stat st {};
  ::stat(path.c_str(), &st);
  return st.st_mode & 07777;
}

TEST(AtomicWrite, KeepsTheModeAndWritesThroughASymlink) {
  TempFolder dir;
  dir.Write("date_f.dat", "old\r\n");
  ::chmod(dir.File("date_f.dat").c_str(), 0600);
  ASSERT_TRUE(WriteFileAtomically(dir.File("date_f.dat"), "new\r\n"));
  EXPECT_EQ(ModeOf(dir.File("date_f.dat")), 0600u);
  EXPECT_EQ(dir.Read("date_f.dat"), "new\r\n");

  // config.ini kept elsewhere (a dotfiles folder) and linked into the program folder.
  fs::create_directories(dir.File("dotfiles"));
  dir.Write("dotfiles/tavlin.ini", "[S_q]\r\nts=1\r\n");
  ::chmod(dir.File("dotfiles/tavlin.ini").c_str(), 0640);
  fs::create_symlink(dir.File("dotfiles/tavlin.ini"), dir.File("config.ini"));
  ASSERT_TRUE(WriteFileAtomically(dir.File("config.ini"), "[S_q]\r\nts=2\r\n"));
  EXPECT_TRUE(fs::is_symlink(dir.File("config.ini")));
  EXPECT_EQ(dir.Read("dotfiles/tavlin.ini"), "[S_q]\r\nts=2\r\n");
  EXPECT_EQ(ModeOf(dir.File("dotfiles/tavlin.ini")), 0640u);
  // Nothing is left beside the link or the target.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.File("dotfiles")), {}), 1);
}

TEST(AtomicWrite, ANewFileFollowsTheUmask) {
  TempFolder dir;
  const mode_t old = ::umask(077);
  const bool written = WriteFileAtomically(dir.File("c.htm"), "page");
  ::umask(old);
  ASSERT_TRUE(written);
  EXPECT_EQ(ModeOf(dir.File("c.htm")), 0600u);
  ASSERT_TRUE(WriteFileAtomically(dir.File("f.htm"), "page"));
  EXPECT_EQ(ModeOf(dir.File("f.htm")), 0666u & ~old);
}

TEST(StaleTemporaries, OnlyTheProgramsOwnOldOnesGo) {
  TempFolder dir;
  for (const char* name : {"config.ini.tmp-a1B2c3", "date.dat.tmp-XyZ019", ".write-test-Q1w2E3", "c.htm.tmp-000000",
                           "notes.txt.tmp-abcdef", "date.dat.tmp-short", "date.dat.tmp-fresh1", "date.dat"}) {
    dir.Write(name, "x");
  }
  const time_t hourAgo = ::time(nullptr) - 3600;
  for (const auto& e : fs::directory_iterator(dir.dir())) {
    if (e.path().filename() == "date.dat.tmp-fresh1") continue;
    const utimbuf old{hourAgo, hourAgo};
    ::utime(e.path().c_str(), &old);
  }
  EXPECT_EQ(RemoveStaleTemporaries(dir.dir()), 4);
  std::vector<std::string> left;
  for (const auto& e : fs::directory_iterator(dir.dir())) left.push_back(e.path().filename());
  std::sort(left.begin(), left.end());
  // Another program's file, a name not made by mkstemp, one being written now, and
  // the list itself stay.
  EXPECT_EQ(left, (std::vector<std::string>{"date.dat", "date.dat.tmp-fresh1", "date.dat.tmp-short",
                                            "notes.txt.tmp-abcdef"}));
}

}  // namespace
}  // namespace tavlin
