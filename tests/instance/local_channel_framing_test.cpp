// The running instance's side of the hand-off, spoken to byte by byte on its real
// socket: a message that comes in pieces is read whole; a sender that claims too
// much, sends more than it claimed or sends no text is cut off and hands nothing
// over, and one that stalls does not keep the next start out. A start after a crash
// takes over the socket left behind, and never a file that is not a socket.
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <chrono>
#include <cstring>
#include <fstream>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "core/instance/hand_off.h"
#include "ui/instance/local_instance_channel.h"

namespace tavlin::ui {
namespace {

struct ListLog final : Log {
  void Write(std::string_view line) override { lines.emplace_back(line); }
  std::vector<std::string> lines;
};

// Serves the running instance's events until work, on a thread of its own, is done.
template <typename T>
T Serving(std::future<T> work) {
  QElapsedTimer clock;
  clock.start();
  while (work.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready && clock.elapsed() < 8000) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return work.get();
}

// Writes the pieces with a pause between them; the answer: the acknowledgement
// byte, "closed" when the instance hung up without one, "silent" when it did neither.
std::string Speak(const std::string& path, std::vector<std::string> pieces) {
  QLocalSocket socket;
  socket.connectToServer(QString::fromStdString(path));
  if (!socket.waitForConnected(2000)) return "no connection";
  for (const std::string& piece : pieces) {
    socket.write(piece.data(), static_cast<qint64>(piece.size()));
    socket.waitForBytesWritten(1000);
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
  }
  socket.waitForReadyRead(1500);
  if (socket.bytesAvailable() > 0) {
    char answer = 0;
    socket.read(&answer, 1);
    return answer == instance::kAcknowledgement ? "ack" : "other";
  }
  return socket.state() == QLocalSocket::ConnectedState ? "silent" : "closed";
}

std::string Header(uint32_t n) {
  return {static_cast<char>(n >> 24), static_cast<char>(n >> 16), static_cast<char>(n >> 8), static_cast<char>(n)};
}

struct Channel : ::testing::Test {
  Channel() : first(folder.path().toStdString(), "t", log) {
    first.Deliver(
        [this](const std::string& text, const instance::Activation& a) { received.push_back(text + "|" + a.token); });
  }
  std::string Socket() const { return folder.path().toStdString() + "/t.sock"; }
  QTemporaryDir folder;
  ListLog log;
  LocalInstanceChannel first;
  std::vector<std::string> received;
};

TEST_F(Channel, MessagesInPiecesAreReadWholeAndUnsoundOnesHandNothingOver) {
  ASSERT_TRUE(first.BecomeFirst());
  const std::string message = *instance::FrameCommand("/影视/第一集.mp4", {"tok-1", ""});
  // Split inside the length, inside a character, and before the token.
  const std::vector<std::string> pieces{message.substr(0, 2), message.substr(2, 6), message.substr(8, 10),
                                        message.substr(18)};
  EXPECT_EQ(Serving(std::async(std::launch::async, [&] { return Speak(Socket(), pieces); })), "ack");
  EXPECT_EQ(received, std::vector<std::string>{"/影视/第一集.mp4|tok-1"});

  const std::string tooLong = Header(instance::kMaxCommandBytes + 1) + "x";
  const std::string overrun = Header(3) + "abcdef";
  const std::string notText = Header(2) + "\xC3\x28";
  for (const std::string& bad : {tooLong, overrun, notText}) {
    EXPECT_EQ(Serving(std::async(std::launch::async, [&] { return Speak(Socket(), {bad}); })), "closed");
  }
  // More after a whole message, in a later write: the message was taken, the rest
  // is no second one (the instance may hang up before the sender reads its answer).
  Serving(std::async(std::launch::async, [&] { return Speak(Socket(), {*instance::FrameCommand("/a.mp4"), "junk"}); }));
  EXPECT_EQ(received, (std::vector<std::string>{"/影视/第一集.mp4|tok-1", "/a.mp4|"}));
}

TEST_F(Channel, AStalledSenderDoesNotKeepTheNextStartOut) {
  ASSERT_TRUE(first.BecomeFirst());
  QLocalSocket stalled;
  stalled.connectToServer(QString::fromStdString(Socket()));
  ASSERT_TRUE(stalled.waitForConnected(2000));
  stalled.write(Header(50).data(), 4);
  stalled.flush();
  auto handed = std::async(std::launch::async, [&] {
    ListLog laterLog;
    LocalInstanceChannel later(folder.path().toStdString(), "t", laterLog);
    return instance::HandOverToRunningInstance(later, "/b.mp4", laterLog) && laterLog.lines.empty();
  });
  EXPECT_TRUE(Serving(std::move(handed)));
  EXPECT_EQ(received, std::vector<std::string>{"/b.mp4|"});
}

// A socket file with nobody behind it, as a killed instance leaves.
void LeaveDeadSocket(const std::string& path) {
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ::close(fd);
}

TEST_F(Channel, AStartAfterACrashTakesOverItsSocketButNoOtherFile) {
  LeaveDeadSocket(Socket());
  ASSERT_TRUE(first.BecomeFirst());
  // While it runs, later starts hand over and end.
  ListLog laterLog;
  LocalInstanceChannel second(folder.path().toStdString(), "t", laterLog);
  EXPECT_FALSE(second.BecomeFirst());
  EXPECT_EQ(Serving(std::async(std::launch::async, [&] { return Speak(Socket(), {*instance::FrameCommand("/c")}); })),
            "ack");
  EXPECT_EQ(received, std::vector<std::string>{"/c|"});
  EXPECT_TRUE(log.lines.empty());

  // Another folder where the socket's name is an ordinary file: it stays as it was.
  QTemporaryDir other;
  const std::string file = other.path().toStdString() + "/t.sock";
  std::ofstream(file) << "keep";
  ListLog otherLog;
  LocalInstanceChannel third(other.path().toStdString(), "t", otherLog);
  EXPECT_TRUE(third.BecomeFirst());
  std::ifstream in(file);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "keep");
  EXPECT_EQ(otherLog.lines.size(), 1u);
}

}  // namespace
}  // namespace tavlin::ui

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  QCoreApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
