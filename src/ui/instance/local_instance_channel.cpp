#include "ui/instance/local_instance_channel.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>
#include <cerrno>
#include <cstdio>
#include <memory>

#include "core/instance/hand_off.h"

namespace tavlin::ui {

namespace {

// The whole exchange of a second start: connecting, sending, the answer.
constexpr int kHandOffMs = 2000;
// A client that neither finishes its message nor goes is dropped.
constexpr int kSlowClientMs = 5000;

// A folder of ours alone: a real folder (no link), owned by us, closed to others.
bool PrivateFolder(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() && (st.st_mode & 077) == 0;
}

bool SameUser(const QLocalSocket& socket) {
  struct ucred peer {};
  socklen_t size = sizeof peer;
  const int fd = static_cast<int>(socket.socketDescriptor());
  return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::getuid();
}

}  // namespace

LocalInstanceChannel::LocalInstanceChannel(std::optional<std::string> folder, const std::string& name, Log& log)
    : log_(log) {
  if (folder) {
    lockPath_ = *folder + "/" + name + ".lock";
    socketPath_ = *folder + "/" + name + ".sock";
  }
  connect(&server_, &QLocalServer::newConnection, this, [this] { OnConnection(); });
}

LocalInstanceChannel::~LocalInstanceChannel() {
  if (lockFd_ < 0) return;
  // The socket goes while the lock is still ours, so it is never another's we remove.
  server_.close();
  ::close(lockFd_);
}

std::optional<std::string> LocalInstanceChannel::RuntimeFolder() {
  const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
  if (!runtime.isEmpty() && runtime.startsWith('/') && PrivateFolder(runtime.toStdString())) {
    return runtime.toStdString();
  }
  const std::string temp = QDir::tempPath().toStdString() + "/tavlin-" + std::to_string(::getuid());
  ::mkdir(temp.c_str(), 0700);
  // Made by somebody else (or a link to elsewhere): not ours to use.
  if (!PrivateFolder(temp)) return std::nullopt;
  return temp;
}

std::string LocalInstanceChannel::NameFor(const std::string& programFolder, bool automation) {
  if (!automation) return "tavlin";
  // FNV-1a: a short, stable name for the folder.
  uint64_t hash = 1469598103934665603ull;
  for (unsigned char c : programFolder) hash = (hash ^ c) * 1099511628211ull;
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
  return std::string("tavlin-") + text;
}

bool LocalInstanceChannel::BecomeFirst() {
  if (lockPath_.empty()) {
    log_.Write("no private folder for the instance lock; this start runs on its own");
    return true;
  }
  lockFd_ = ::open(lockPath_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (lockFd_ < 0) {
    log_.Write("cannot open the instance lock " + lockPath_ + "; this start runs on its own");
    return true;
  }
  if (::flock(lockFd_, LOCK_EX | LOCK_NB) != 0) {
    const bool held = errno == EWOULDBLOCK;
    ::close(lockFd_);
    lockFd_ = -1;
    if (held) return false;
    log_.Write("cannot take the instance lock; this start runs on its own");
    return true;
  }
  // The lock is ours: a socket still there was left by an instance that died. Only
  // a socket is removed; anything else at its place stays, and nobody can reach us.
  struct stat st {};
  if (::lstat(socketPath_.c_str(), &st) == 0) {
    if (!S_ISSOCK(st.st_mode)) {
      log_.Write(socketPath_ + " is no socket; later starts cannot hand over");
      return true;
    }
    ::unlink(socketPath_.c_str());
  }
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_.listen(QString::fromStdString(socketPath_))) {
    log_.Write("cannot listen at " + socketPath_ + ": " + server_.errorString().toStdString());
  }
  return true;
}

bool LocalInstanceChannel::Send(const std::string& message) {
  QElapsedTimer clock;
  clock.start();
  auto left = [&] { return std::max(0, kHandOffMs - static_cast<int>(clock.elapsed())); };
  QLocalSocket socket;
  // The first instance may hold the lock a moment before it listens.
  while (true) {
    socket.connectToServer(QString::fromStdString(socketPath_));
    if (socket.waitForConnected(left())) break;
    if (left() == 0) return false;
    QThread::msleep(20);
  }
  socket.write(message.data(), static_cast<qint64>(message.size()));
  while (socket.bytesToWrite() > 0) {
    if (!socket.waitForBytesWritten(left())) return false;
  }
  while (socket.bytesAvailable() < 1) {
    if (left() == 0 || !socket.waitForReadyRead(left())) return false;
  }
  char answer = 0;
  return socket.read(&answer, 1) == 1 && answer == instance::kAcknowledgement;
}

void LocalInstanceChannel::OnConnection() {
  while (QLocalSocket* socket = server_.nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    if (!SameUser(*socket)) {
      socket->abort();
      continue;
    }
    auto reader = std::make_shared<instance::CommandReader>();
    QTimer::singleShot(kSlowClientMs, socket, [socket] { socket->abort(); });
    connect(socket, &QLocalSocket::readyRead, this, [this, socket, reader] {
      const QByteArray bytes = socket->readAll();
      switch (reader->Feed(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())))) {
        case instance::CommandReader::Status::Incomplete: return;
        case instance::CommandReader::Status::Refused: socket->abort(); return;
        case instance::CommandReader::Status::Complete:
          socket->write(&instance::kAcknowledgement, 1);
          socket->flush();
          socket->disconnectFromServer();
          Received(reader->text(), reader->activation());
          return;
      }
    });
  }
}

void LocalInstanceChannel::Received(const std::string& text, const instance::Activation& activation) {
  if (receiver_) receiver_(text, activation);
  else pending_.emplace_back(text, activation);
}

void LocalInstanceChannel::Deliver(Receiver receiver) {
  receiver_ = std::move(receiver);
  std::vector<std::pair<std::string, instance::Activation>> waiting;
  waiting.swap(pending_);
  for (const auto& [text, activation] : waiting) receiver_(text, activation);
}

}  // namespace tavlin::ui
