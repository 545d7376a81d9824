#pragma once
// The automation channel: with TAVLIN_AUTOMATION set to a socket path, the program
// answers JSON requests, one per line, on a socket only its user can open. The
// protocol is described in docs/automation.md.
#include <QByteArray>
#include <QJsonObject>
#include <QLocalServer>
#include <QObject>

#include "platform/power.h"

namespace tavlin::ui {

class MainWindow;

class AutomationServer : public QObject {
 public:
  // power: the recorder that stands in for the real power service while the
  // program is driven from outside.
  AutomationServer(MainWindow& window, const RecordingPower& power);
  bool Listen(const QString& path);
  // One request, one answer (exposed for tests of the protocol).
  QJsonObject Handle(const QJsonObject& request);

 private:
  void OnConnection();
  QJsonObject Dump();
  MainWindow& window_;
  const RecordingPower& power_;
  QLocalServer server_;
};

}  // namespace tavlin::ui
