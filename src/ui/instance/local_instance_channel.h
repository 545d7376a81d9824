#pragma once
// The hand-off between starts on this desktop: a lock file held with flock(2) for
// as long as the first instance lives, and a local socket beside it, both in a
// folder only the user can enter. The kernel drops the lock of an instance that
// dies, so a start after a crash takes over the lock and the socket it left.
#include <QLocalServer>
#include <QObject>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/instance/hand_off.h"
#include "platform/instance_channel.h"
#include "platform/log.h"

namespace tavlin::ui {

class LocalInstanceChannel final : public QObject, public InstanceChannel {
 public:
  // folder: the private folder of lock and socket (none: every start runs on its
  // own); name: their common base name.
  LocalInstanceChannel(std::optional<std::string> folder, const std::string& name, Log& log);
  ~LocalInstanceChannel() override;

  // $XDG_RUNTIME_DIR when it is the user's own private folder, else a private
  // folder under the temporary folder; none when neither can be had safely.
  static std::optional<std::string> RuntimeFolder();
  // One name per user; while the program is driven from outside, one per program
  // folder, so that instances in different folders run side by side.
  static std::string NameFor(const std::string& programFolder, bool automation);

  bool BecomeFirst() override;
  bool Send(const std::string& message) override;

  using Receiver = std::function<void(const std::string& text, const instance::Activation& activation)>;
  // Hands every command line that arrives, with the tokens of its start, to
  // receiver, those that came before this call first.
  void Deliver(Receiver receiver);

  std::string socketPath() const { return socketPath_; }

 private:
  void OnConnection();
  void Received(const std::string& text, const instance::Activation& activation);

  std::string lockPath_, socketPath_;
  Log& log_;
  int lockFd_ = -1;
  QLocalServer server_;
  std::vector<std::pair<std::string, instance::Activation>> pending_;
  Receiver receiver_;
};

}  // namespace tavlin::ui
