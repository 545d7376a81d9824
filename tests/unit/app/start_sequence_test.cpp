// The order of the program's start, with every step recorded and the asynchronous
// ones (first page, timer, library opened) fired by hand in the orders they can come.
#include "core/app/start_sequence.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace tavlin {
namespace {

using Steps = std::vector<std::string>;

struct RecordedStart final : StartSteps {
  bool player_starts = true;
  bool windows_made = true;
  bool picture = true;
  Steps steps;
  std::vector<std::function<void()>> after_first_page;
  std::vector<std::pair<int, std::function<void()>>> timers;
  std::vector<std::function<void(bool)>> opening;  // background starts under way

  void StartWebEngine() override { steps.push_back("web engine"); }
  void MakePlayer() override { steps.push_back("make player"); }
  bool StartPlayer() override {
    steps.push_back("start player");
    return player_starts;
  }
  void StartPlayerInBackground(std::function<void(bool)> done) override {
    steps.push_back("start player in background");
    opening.push_back(std::move(done));
  }
  bool MakeWindows() override {
    steps.push_back("make windows");
    return windows_made;
  }
  bool PlayerHasPicture() override { return picture; }
  void HoldPagesForFirstFrame(int ms) override { steps.push_back("hold pages " + std::to_string(ms)); }
  void ShowWindow() override { steps.push_back("show window"); }
  void AfterFirstPage(std::function<void()> then) override { after_first_page.push_back(std::move(then)); }
  void After(int ms, std::function<void()> then) override { timers.emplace_back(ms, std::move(then)); }
  void DeliverHandOffs() override { steps.push_back("deliver hand-offs"); }
  void Log(const std::string& line) override { steps.push_back("log: " + line); }

  void FirstPage() {
    steps.push_back("-- first page");
    for (auto& then : std::exchange(after_first_page, {})) then();
  }
  void Timer(int ms) {
    steps.push_back("-- " + std::to_string(ms) + " ms");
    for (auto& [at, then] : timers) {
      if (at == ms) then();
    }
  }
  void LibraryOpened(bool ok) {
    for (auto& done : std::exchange(opening, {})) done(ok);
  }
  long Count(const std::string& step) const { return std::count(steps.begin(), steps.end(), step); }
};

size_t IndexOf(const Steps& steps, const std::string& step) {
  return static_cast<size_t>(std::find(steps.begin(), steps.end(), step) - steps.begin());
}

TEST(StartSequence, WithAMediaFileThePlayerStartsBeforeTheWindowAndThePagesWaitForItsPicture) {
  RecordedStart s;
  ASSERT_EQ(RunStartSequence(s, true), StartOutcome::kRun);
  // No web engine ahead of the film: the first page let through starts it.
  EXPECT_EQ(s.steps, (Steps{"make player", "start player", "make windows", "hold pages 1000", "show window",
                            "deliver hand-offs"}));
  // Nothing more is started later: the first page and any timer find the player up.
  EXPECT_TRUE(s.timers.empty());
  EXPECT_TRUE(s.after_first_page.empty());

  RecordedStart blind;  // no picture to wait for: the pages load at once
  blind.picture = false;
  RunStartSequence(blind, true);
  EXPECT_EQ(blind.Count("hold pages 1000"), 0);
  EXPECT_LT(IndexOf(blind.steps, "start player"), IndexOf(blind.steps, "show window"));
}

TEST(StartSequence, WithoutAFileThePlayerStartsOnceAtTheFirstPageOrTheFallbackWhicheverIsFirst) {
  // The first page comes first; the fallback later finds the player started.
  RecordedStart page_first;
  ASSERT_EQ(RunStartSequence(page_first, false), StartOutcome::kRun);
  EXPECT_EQ(page_first.steps, (Steps{"web engine", "make player", "make windows", "show window", "deliver hand-offs"}));
  ASSERT_EQ(page_first.timers.size(), 1u);
  EXPECT_EQ(page_first.timers[0].first, 5000);
  page_first.FirstPage();
  page_first.LibraryOpened(true);
  page_first.Timer(5000);
  EXPECT_EQ(page_first.Count("start player in background"), 1);
  EXPECT_EQ(IndexOf(page_first.steps, "start player in background"), IndexOf(page_first.steps, "-- first page") + 1);

  // A portal the views refuse: the fallback starts the player, a late page does not
  // start it again, and a player that cannot start is said once.
  RecordedStart refused;
  RunStartSequence(refused, false);
  refused.Timer(5000);
  refused.FirstPage();
  refused.LibraryOpened(false);
  EXPECT_EQ(refused.Count("start player in background"), 1);
  EXPECT_EQ(IndexOf(refused.steps, "start player in background"), IndexOf(refused.steps, "-- 5000 ms") + 1);
  EXPECT_EQ(refused.Count("log: the player cannot start"), 1);
  EXPECT_EQ(refused.Count("start player"), 0);  // never on the window's thread
}

TEST(StartSequence, WithoutAFileTheWebEngineStartsFirstAndHandOffsAlwaysComeAfterTheWindow) {
  for (const bool with_file : {true, false}) {
    RecordedStart s;
    RunStartSequence(s, with_file);
    s.FirstPage();
    s.Timer(5000);
    EXPECT_EQ(s.Count("web engine"), with_file ? 0 : 1);
    if (!with_file) EXPECT_EQ(IndexOf(s.steps, "web engine"), 0u);
    EXPECT_LT(IndexOf(s.steps, "show window"), IndexOf(s.steps, "deliver hand-offs")) << with_file;
    EXPECT_EQ(s.Count("deliver hand-offs"), 1);
  }
}

TEST(StartSequence, AFailedPlayerStillShowsTheWindowButFailedWindowsEndTheStart) {
  RecordedStart no_player;
  no_player.player_starts = false;
  ASSERT_EQ(RunStartSequence(no_player, true), StartOutcome::kRun);
  EXPECT_EQ(no_player.Count("log: the player cannot start"), 1);
  EXPECT_EQ(no_player.Count("show window"), 1);

  for (const bool with_file : {true, false}) {
    RecordedStart no_windows;
    no_windows.windows_made = false;
    EXPECT_EQ(RunStartSequence(no_windows, with_file), StartOutcome::kCannotGoOn);
    EXPECT_EQ(no_windows.steps.back(), "make windows");
    // Nothing left behind to start the player later.
    EXPECT_TRUE(no_windows.timers.empty());
    EXPECT_TRUE(no_windows.after_first_page.empty());
  }
}

}  // namespace
}  // namespace tavlin
