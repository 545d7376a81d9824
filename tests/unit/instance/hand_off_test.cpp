// A second start hands its command line to the first: the message on the way, and
// what the running instance does with it.
#include "core/instance/hand_off.h"

#include <gtest/gtest.h>

#include <random>

#include "core/app/startup.h"
#include "core/base/utf.h"
#include "core/instance/instance.h"
#include "support/fake_machine.h"
#include "support/program_fixture.h"

namespace tavlin {
namespace {

using instance::CommandReader;
using instance::FrameCommand;
using Status = CommandReader::Status;

Status ReadAll(const std::string& bytes, std::string* text = nullptr, size_t piece = SIZE_MAX) {
  CommandReader reader;
  Status status = Status::Incomplete;
  for (size_t at = 0; at < bytes.size(); at += piece) status = reader.Feed(std::string_view(bytes).substr(at, piece));
  if (text) *text = reader.text();
  return status;
}

TEST(HandOffMessage, EveryTextUpToTheLimitArrivesWholeHoweverItIsCut) {
  const std::string texts[] = {"",
                               "\"/media/a b/c.rmvb\"",
                               "/media/film/",
                               "\"/影视/第 1 集.mp4\"",
                               "\xEF\xBF\xBD",  // a real U+FFFD is text like any other
                               std::string(instance::kMaxCommandBytes, 'a')};
  for (const std::string& text : texts) {
    SCOPED_TRACE(text.substr(0, 40));
    const auto message = FrameCommand(text);
    ASSERT_TRUE(message);
    EXPECT_EQ(message->size(), text.size() + 4);
    for (size_t piece : {size_t{1}, size_t{3}, size_t{4096}, SIZE_MAX}) {
      std::string got = "unset";
      EXPECT_EQ(ReadAll(*message, &got, piece), Status::Complete) << piece;
      EXPECT_EQ(got, text);
    }
  }
}

TEST(HandOffMessage, WhatIsTooLongOrNoTextIsRefused) {
  EXPECT_FALSE(FrameCommand(std::string(instance::kMaxCommandBytes + 1, 'a')));
  // A length over the limit is refused from its header on, before any text comes.
  const size_t over = instance::kMaxCommandBytes + 1;
  EXPECT_EQ(ReadAll(std::string{0, static_cast<char>(over >> 16), static_cast<char>(over >> 8), static_cast<char>(over)}),
            Status::Refused);
  EXPECT_EQ(ReadAll("\xFF\xFF\xFF\xFF"), Status::Refused);
  auto framed = [](const std::string& text) { return *FrameCommand(text); };
  EXPECT_EQ(ReadAll(framed("/m/\xC3(.mp4")), Status::Refused) << "malformed UTF-8";
  EXPECT_EQ(ReadAll(framed("/m/\xC0\xAF.mp4")), Status::Refused) << "overlong";
  EXPECT_EQ(ReadAll(framed(std::string("/m/a\0b", 6))), Status::Refused) << "NUL";
  EXPECT_EQ(ReadAll(framed("/m/a.mp4") + "x"), Status::Refused) << "bytes after the text";
  EXPECT_EQ(ReadAll(framed("/m/a.mp4").substr(0, 7)), Status::Incomplete);
}

// Whatever bytes come, the reader never reads past them, never holds more than one
// message, and hands over nothing but well-formed text.
TEST(HandOffMessage, GarbageNeverYieldsAnythingButText) {
  std::mt19937 random(12);
  for (int round = 0; round < 3000; ++round) {
    std::string bytes(random() % 40, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    if (round % 2) bytes.replace(0, std::min<size_t>(4, bytes.size()), std::string("\0\0\0", 3) + char(random() % 36));
    std::string text;
    if (ReadAll(bytes, &text, 1 + random() % 5) != Status::Complete) continue;
    EXPECT_TRUE(IsWellFormedUtf8(text));
    EXPECT_EQ(text.find('\0'), std::string::npos);
    EXPECT_EQ(text.size() + 4, bytes.size());
  }
}

// Two starts on one desktop: the lock and the socket as an in-process pair.
struct Desk {
  bool held = false;
  bool answers = true;  // false: the first instance is there but does not answer
  std::function<void(const std::string&)> deliver;
  int sent = 0;
};

class PairedChannel final : public InstanceChannel {
 public:
  explicit PairedChannel(Desk& desk) : desk_(desk) {}
  bool BecomeFirst() override {
    if (desk_.held) return false;
    return desk_.held = true;
  }
  bool Send(const std::string& message) override {
    ++desk_.sent;
    CommandReader reader;
    if (!desk_.answers || reader.Feed(message) != Status::Complete) return false;
    desk_.deliver(reader.text());
    return true;
  }

 private:
  Desk& desk_;
};

struct FakePlayerFactory final : PlayerFactory {
  bool CanCreate() override { return true; }
};

// A second start of the same program, as main runs it.
StartupResult SecondStart(testing::ProgramFixture& first, Desk& desk, const std::string& commandLine,
                          testing::FakeLog& log) {
  FakePlayerFactory player;
  testing::FakeDialogs dialogs;
  testing::RecordingShell shell;
  testing::FakeMachine machine;
  PairedChannel channel(desk);
  StartupPorts ports{player, dialogs, shell, machine, log, nullptr, &channel};
  return RunMain(ProgramFolder{first.dir.dir()}, ports, commandLine);
}

struct HandOff : ::testing::Test {
  testing::PlayerFixture first;
  Desk desk;
  PairedChannel firstChannel{desk};
  testing::FakeLog log;
  void SetUp() override {
    ASSERT_TRUE(firstChannel.BecomeFirst());
    desk.deliver = [this](const std::string& text) { first.program->instance().Form_LinkExecute(text); };
    first.dir.Write("a.mp4", "x");
    first.Open(first.dir.File("a.mp4"));
    first.player.duration = 600;
    first.Play(42);
  }
};

TEST_F(HandOff, ASecondStartPlaysItsFileInTheFirstWindowAndEnds) {
  first.f->npc_Click(15);  // compact
  first.f->npc_Click(0);   // and minimised
  first.f->window.state = forms::WindowState::Minimized;
  first.clock.Advance(20);
  ASSERT_FALSE(first.f->Timer3.enabled());
  const std::string b = first.dir.File("b c.rmvb");

  EXPECT_EQ(SecondStart(first, desk, "\"" + b + "\"", log), StartupResult::HandedOver);

  const shell::BA1& f = *first.f;
  EXPECT_TRUE(f.Timer3.enabled()) << "the start-up task runs again";
  EXPECT_FALSE(f.Minimized());
  EXPECT_EQ(first.host.fronts, 1);
  EXPECT_EQ(f.CompactMode, 0);
  EXPECT_EQ(first.player.url, b);
  EXPECT_EQ(first.player.calls.back(), "play");
  EXPECT_EQ(f.bo_name.caption, "b c.rmvb");
  EXPECT_EQ(f.CurrentView, 9);
  // The film that played was stopped with its place kept, under the new one.
  EXPECT_EQ(first.dir.Read("date_f.dat"),
            "b c.rmvb|" + b + "|0\r\na.mp4|" + first.dir.File("a.mp4") + "|42\r\n");
  EXPECT_TRUE(log.lines.empty());
}

TEST_F(HandOff, WithoutAFileTheWindowOnlyComesBack) {
  for (const std::string commandLine : {"", "\"\"", "/"}) {
    SCOPED_TRACE(commandLine);
    first.f->CloseToTray();
    ASSERT_FALSE(first.f->window.visible);
    const auto calls = first.player.calls.size();
    const std::string list = first.dir.Read("date_f.dat");

    EXPECT_EQ(SecondStart(first, desk, commandLine, log), StartupResult::HandedOver);

    EXPECT_TRUE(first.f->window.visible);
    EXPECT_EQ(first.player.calls.size(), calls) << "the film plays on";
    EXPECT_EQ(first.dir.Read("date_f.dat"), list);
  }
}

TEST_F(HandOff, ALostOrOversizedCommandStillEndsTheSecondStart) {
  desk.answers = false;
  EXPECT_EQ(SecondStart(first, desk, "/m/x.mp4", log), StartupResult::HandedOver);
  desk.answers = true;
  EXPECT_EQ(SecondStart(first, desk, "/" + std::string(instance::kMaxCommandBytes, 'x'), log),
            StartupResult::HandedOver);
  EXPECT_EQ(desk.sent, 1) << "nothing too long is sent";
  ASSERT_EQ(log.lines.size(), 2u);
  EXPECT_NE(log.lines[0].find("did not answer"), std::string::npos);
  EXPECT_NE(log.lines[1].find("too long"), std::string::npos);
  EXPECT_EQ(first.player.url, first.dir.File("a.mp4"));
  // Once the first is gone its lock is free: the next start is a first start.
  desk.held = false;
  EXPECT_EQ(SecondStart(first, desk, "", log), StartupResult::ShowMainWindow);
}

}  // namespace
}  // namespace tavlin
