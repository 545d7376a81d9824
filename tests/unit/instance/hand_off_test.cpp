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
  EXPECT_EQ(
      ReadAll(std::string{0, static_cast<char>(over >> 16), static_cast<char>(over >> 8), static_cast<char>(over)}),
      Status::Refused);
  EXPECT_EQ(ReadAll("\xFF\xFF\xFF\xFF"), Status::Refused);
  auto framed = [](const std::string& text) { return *FrameCommand(text); };
  EXPECT_EQ(ReadAll(framed("/m/\xC3(.mp4")), Status::Refused) << "malformed UTF-8";
  EXPECT_EQ(ReadAll(framed("/m/\xC0\xAF.mp4")), Status::Refused) << "overlong";
  EXPECT_FALSE(FrameCommand(std::string("/m/a\0b", 6))) << "no command line holds a NUL";
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
    CommandReader reader;
    const size_t piece = 1 + random() % 5;
    for (size_t at = 0; at < bytes.size(); at += piece) reader.Feed(std::string_view(bytes).substr(at, piece));
    if (reader.status() != Status::Complete) continue;
    const std::string& text = reader.text();
    EXPECT_TRUE(IsWellFormedUtf8(text));
    EXPECT_EQ(text.find('\0'), std::string::npos);
    EXPECT_LE(text.size() + 4, bytes.size());
    for (const std::string& token : {reader.activation().token, reader.activation().startupId}) {
      EXPECT_TRUE(token.empty() || instance::IsSoundToken(token)) << token;
    }
  }
}

// Raw messages, as any peer (an older start among them) may send them.
std::string Raw(const std::string& body) {
  const auto n = static_cast<uint32_t>(body.size());
  return std::string{static_cast<char>(n >> 24), static_cast<char>(n >> 16), static_cast<char>(n >> 8),
                     static_cast<char>(n)} +
         body;
}

CommandReader Read(const std::string& bytes, size_t piece = SIZE_MAX) {
  CommandReader reader;
  for (size_t at = 0; at < bytes.size(); at += piece) reader.Feed(std::string_view(bytes).substr(at, piece));
  return reader;
}

TEST(HandOffMessage, TheLaunchersTokensTravelWithTheTextAndAnOlderPeerIsStillRead) {
  const instance::Activation both{"sway-2f0c9a", "host-1234-0-start_TIME8839"};
  for (const instance::Activation& activation :
       {both, instance::Activation{"only-the-token", ""}, instance::Activation{"", "only_TIME1"}}) {
    const auto message = FrameCommand("\"/影视/第 1 集.mp4\"", activation);
    ASSERT_TRUE(message);
    for (size_t piece : {size_t{1}, size_t{5}, SIZE_MAX}) {
      const CommandReader reader = Read(*message, piece);
      ASSERT_EQ(reader.status(), Status::Complete);
      EXPECT_EQ(reader.text(), "\"/影视/第 1 集.mp4\"");
      EXPECT_EQ(reader.activation(), activation);
    }
  }
  // Without tokens the message is what every start sent before them.
  EXPECT_EQ(*FrameCommand("/m/a.mp4", {}), Raw("/m/a.mp4"));
  const CommandReader old = Read(Raw("/m/a.mp4"));
  EXPECT_EQ(old.status(), Status::Complete);
  EXPECT_EQ(old.text(), "/m/a.mp4");
  EXPECT_EQ(old.activation(), instance::Activation{});
  // A command line at the limit goes whole, without the tokens that no longer fit.
  const std::string longest(instance::kMaxCommandBytes, 'a');
  const CommandReader full = Read(*FrameCommand(longest, both));
  EXPECT_EQ(full.text(), longest);
  EXPECT_EQ(full.activation(), instance::Activation{});
}

// A token ends up in the environment and in requests to the compositor: only
// printable ASCII of a bounded length is ever taken, and nothing spoils the command.
TEST(HandOffMessage, NoForgedFieldBecomesAToken) {
  using namespace std::string_literals;
  const std::string tooLong(instance::kMaxTokenBytes + 1, 't');
  struct Case {
    std::string body;
    instance::Activation expected;
  } cases[] = {
      {"/m/a\0token=a\nb"s, {}},
      {"/m/a\0token="s, {}},
      {"/m/a\0token=\xE4\xB8\xAD"s, {}},
      {"/m/a\0"s + "token=" + tooLong, {}},
      {"/m/a\0tokenx=abc\0startup-id"s, {}},
      {"/m/a\0\0colour=red\0token=ok\0"s, {"ok", ""}},
      {"/m/a\0token=first\0token=second"s, {"second", ""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.body);
    const CommandReader reader = Read(Raw(c.body));
    ASSERT_EQ(reader.status(), Status::Complete);
    EXPECT_EQ(reader.text(), "/m/a");
    EXPECT_EQ(reader.activation(), c.expected);
  }
  // The text before the fields is still checked.
  EXPECT_EQ(Read(Raw("/m/\xC3(\0token=ok"s)).status(), Status::Refused);
  // A sender leaves out what a reader would pass over.
  EXPECT_EQ(*FrameCommand("/m/a", {"bad token\x7f", tooLong}), Raw("/m/a"));
}

// Two starts on one desktop: the lock and the socket as an in-process pair.
struct Desk {
  bool held = false;
  bool answers = true;  // false: the first instance is there but does not answer
  std::function<void(const std::string&)> deliver;
  int sent = 0;
  instance::Activation activation;  // of the last message
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
    desk_.activation = reader.activation();
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
                          testing::FakeLog& log, const instance::Activation& activation = {}) {
  FakePlayerFactory player;
  testing::FakeDialogs dialogs;
  testing::RecordingShell shell;
  testing::FakeMachine machine;
  PairedChannel channel(desk);
  StartupPorts ports{player, dialogs, shell, machine, log, nullptr, &channel, activation};
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

  const instance::Activation launcher{"xdg-token-1", "id_TIME5"};
  EXPECT_EQ(SecondStart(first, desk, "\"" + b + "\"", log, launcher), StartupResult::HandedOver);
  EXPECT_EQ(desk.activation, launcher) << "the launcher's leave to take the focus goes along";

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
  EXPECT_EQ(first.dir.Read("date_f.dat"), "b c.rmvb|" + b + "|0\r\na.mp4|" + first.dir.File("a.mp4") + "|42\r\n");
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
