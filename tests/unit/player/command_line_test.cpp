// A file named on the command line of a first start plays and goes on top of the
// local list.
#include <gtest/gtest.h>

#include "support/program_fixture.h"

namespace tavlin {
namespace {

using testing::PlayerFixture;

TEST(CommandLine, FirstStartPlaysTheFileAndListsItOnTop) {
  struct Case {
    const char* commandLine;
    const char* url;
    const char* name;
  };
  const Case cases[] = {{"\"/media/a b/c.rmvb\"", "/media/a b/c.rmvb", "c.rmvb"},
                        {"/media/a b/c.rmvb/", "/media/a b/c.rmvb", "c.rmvb"},
                        {"film.mp4", "film.mp4", ""}};
  for (const Case& c : cases) {
    PlayerFixture t(c.commandLine);
    SCOPED_TRACE(c.commandLine);
    EXPECT_EQ(t.player.url, c.url);
    EXPECT_EQ(t.player.calls, std::vector<std::string>{"play"});
    EXPECT_EQ(t.f->C("bo_name").caption, c.name);
    EXPECT_EQ(t.dir.Read("date_f.dat"), std::string(c.name) + "|" + c.url + "|0\r\n\r\n");
    EXPECT_EQ(t.State().playback.PlaySource, 2);
    EXPECT_EQ(t.State().playback.CurrentItemKey, c.url);
    EXPECT_EQ(t.f->CurrentView, 9);
    EXPECT_TRUE(t.f->T("Timer1").enabled());
  }
}

// A file that is not there plays as any other (the player then reports the end), and
// the user is told which file could not be found.
TEST(CommandLine, AMissingFileIsNamedInABalloon) {
  PlayerFixture t;
  t.Player().l_com("/films/gone.mp4");
  EXPECT_EQ(t.player.url, "/films/gone.mp4");
  ASSERT_FALSE(t.Balloons().empty());
  EXPECT_EQ(t.Balloons().back(), "找不到要播放的文件：/films/gone.mp4");
  t.dir.Write("here.mp4", "x");
  t.Player().l_com(t.dir.File("here.mp4"));
  EXPECT_EQ(t.Balloons().size(), 1u) << "a file that is there says nothing";
}

// A path the list format cannot hold ("|" splits a record, a line break ends it) or
// an address that is no file still plays, is not listed, and the user hears why once.
TEST(CommandLine, WhatTheListCannotHoldPlaysUnlisted) {
  PlayerFixture t;
  t.dir.Write("date_f.dat", "x.mp4|/m/x.mp4|9\r\n");
  for (const char* path : {"/m/a|b.mp4", "/m/line\nbreak.mp4", "qvod://100|abc|n.mp4|"}) {
    t.Player().l_com(path);
    EXPECT_EQ(t.player.url, path);
    EXPECT_EQ(t.player.calls.back(), "play");
    t.player.duration = 100;
    t.Play(5);
    t.Player().bo_but_Click(1);
  }
  EXPECT_EQ(t.dir.Read("date_f.dat"), "x.mp4|/m/x.mp4|9\r\n");
  int told = 0;
  for (const auto& b : t.Balloons()) told += b.find("本地列表") != std::string::npos;
  EXPECT_EQ(told, 1);
}

TEST(CommandLine, ResetsThePlaybackStateOfTheItemBefore) {
  PlayerFixture t;
  t.dir.Write("date_f.dat", "x.mp4|/m/x.mp4|9\r\nc.mp4|/m/c.mp4|70\r\n");
  t.State().playback.ResumePosition = 300;
  t.State().playback.ResumeApplied = 1;
  t.State().episodes.CurrentEpisodeKey = "123-2-5-abc";
  t.State().episodes.NextEpisodePage = t.State().episodes.NextEpisodeUrl = state::NextEpisode::FromText("qvod://n");
  t.State().episodes.NextPrefetchStarted = 1;
  t.State().playback.PlaysInPage = 1;
  t.Player().l_com("/m/c.mp4");
  EXPECT_EQ(t.dir.Read("date_f.dat"), "c.mp4|/m/c.mp4|0\r\nx.mp4|/m/x.mp4|9\r\n");
  EXPECT_EQ(t.State().playback.ResumePosition, 0);
  EXPECT_EQ(t.State().playback.ResumeApplied, 0);
  EXPECT_EQ(t.State().episodes.CurrentEpisodeKey, "0");
  EXPECT_EQ(t.State().episodes.NextEpisodePage.ToText(), "0");
  EXPECT_EQ(t.State().episodes.NextEpisodeUrl.ToText(), "0");
  EXPECT_EQ(t.State().episodes.NextPrefetchStarted, 0);
  EXPECT_EQ(t.State().playback.PlaysInPage, 0);
  EXPECT_TRUE(t.f->C("qvod").visible);
}

TEST(CommandLine, LongNamesAreShortenedOnlyInTheTitle) {
  const std::string name = std::string(40, 'n') + ".avi";
  PlayerFixture t("/v/" + name);
  EXPECT_EQ(t.f->C("bo_name").caption, std::string(30, 'n'));
  EXPECT_EQ(t.dir.Read("date_f.dat"), name + "|/v/" + name + "|0\r\n\r\n");
}

TEST(CommandLine, NothingLeftAfterTheQuotesPlaysNothing) {
  PlayerFixture t("\"\"");
  EXPECT_EQ(t.player.url, "");
  EXPECT_EQ(t.dir.Read("date_f.dat"), "\r\n");
  EXPECT_EQ(t.f->CurrentView, 8);
}

}  // namespace
}  // namespace tavlin
