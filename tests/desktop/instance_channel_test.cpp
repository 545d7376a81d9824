// The hand-off between two starts over a real local socket: what a later start
// sends (its command line and its launcher's tokens) reaches the running instance
// whole, in order, also when it came before the window was ready to take it.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <future>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/instance/hand_off.h"
#include "ui/instance/local_instance_channel.h"

namespace tavlin::ui {
namespace {

struct ListLog final : Log {
  void Write(std::string_view line) override { lines.emplace_back(line); }
  std::vector<std::string> lines;
};

using Received = std::vector<std::pair<std::string, instance::Activation>>;

// A later start, on a thread of its own as it would be a process of its own; the
// running instance's events are served meanwhile.
bool SecondStart(const QString& folder, const std::string& commandLine, const instance::Activation& activation) {
  auto handed = std::async(std::launch::async, [&] {
    ListLog log;
    LocalInstanceChannel later(folder.toStdString(), "t", log);
    return instance::HandOverToRunningInstance(later, commandLine, log, activation) && log.lines.empty();
  });
  QElapsedTimer clock;
  clock.start();
  while (handed.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready && clock.elapsed() < 5000) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return handed.get();
}

void ServeUntil(const std::function<bool()>& done) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

TEST(InstanceChannel, TokensReachTheRunningInstanceBeforeAndAfterItListens) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  ListLog log;
  LocalInstanceChannel first(folder.path().toStdString(), "t", log);
  ASSERT_TRUE(first.BecomeFirst());

  const instance::Activation launcher{"sway-token-7", "desk-1-2-x_TIME99"};
  // While the window is still being made: kept, with the tokens, until it is ready.
  ASSERT_TRUE(SecondStart(folder.path(), "\"/影视/a b.mp4\"", launcher));
  ASSERT_TRUE(SecondStart(folder.path(), "", {}));
  Received received;
  first.Deliver([&](const std::string& text, const instance::Activation& activation) {
    received.emplace_back(text, activation);
  });
  ASSERT_EQ(received.size(), 2u);
  EXPECT_EQ(received[0], std::make_pair(std::string("\"/影视/a b.mp4\""), launcher));
  EXPECT_EQ(received[1], std::make_pair(std::string(), instance::Activation{}));

  ASSERT_TRUE(SecondStart(folder.path(), "/m/c.mp4", {"later-token", ""}));
  ServeUntil([&] { return received.size() == 3; });
  ASSERT_EQ(received.size(), 3u);
  EXPECT_EQ(received[2], std::make_pair(std::string("/m/c.mp4"), instance::Activation{"later-token", ""}));
  EXPECT_TRUE(log.lines.empty());
}

}  // namespace
}  // namespace tavlin::ui

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  QGuiApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
