#pragma once
// The automation channel: with TAVLIN_AUTOMATION set to a socket path, the program
// answers JSON requests, one per line, on a socket only its user can open. Input
// goes through the same router as real input. The protocol is described in
// docs/automation.md.
#include <QJsonObject>
#include <QLocalServer>
#include <QObject>
#include <functional>

#include "core/app/program.h"
#include "platform/power.h"
#include "ui/ad/ad_window.h"
#include "ui/automation/port_recorder.h"
#include "ui/settings/dialog_windows.h"
#include "ui/shell/main_window.h"

namespace tavlin::ui {

struct AutomationTargets {
  Program& program;
  MainWindow& window;
  WindowPorts& ports;
  const PortRecorder& recorder;
  // The recorder that stands in for the real power service while the program is
  // driven from outside.
  const RecordingPower& power;
  const MpvPlayerControl* player;  // none when no player could be made
  DialogWindows& dialogWindows;
  AdWindow& adWindow;
};

class AutomationServer : public QObject {
 public:
  explicit AutomationServer(AutomationTargets targets);
  bool Listen(const QString& path);
  // One request, one answer.
  QJsonObject Handle(const QJsonObject& request);

 private:
  using Operation = QJsonObject (AutomationServer::*)(const QJsonObject&);
  void OnConnection();
  // Runs an action after the answer has gone out, so that a dialog it opens can be
  // listed and answered on the same connection.
  QJsonObject Later(std::function<void()> action);
  // The form of that name with its window and router; none for an unknown name.
  struct FormTarget {
    forms::Form* form = nullptr;
    FormWidget* widget = nullptr;
    forms::ControlRouter* router = nullptr;
  };
  FormTarget FormNamed(const QString& name);
  QJsonObject DescribeWindow(const FormTarget& target) const;

  QJsonObject Dump(const QJsonObject&);
  QJsonObject Power(const QJsonObject&);
  QJsonObject Click(const QJsonObject&);
  QJsonObject Mouse(const QJsonObject&);
  QJsonObject Key(const QJsonObject&);
  QJsonObject Link(const QJsonObject&);
  QJsonObject Menu(const QJsonObject&);
  QJsonObject Dialogs(const QJsonObject&);
  QJsonObject Answer(const QJsonObject&);
  QJsonObject TrayClick(const QJsonObject&);
  QJsonObject Resize(const QJsonObject&);
  QJsonObject Screenshot(const QJsonObject&);
  QJsonObject Balloons(const QJsonObject&);
  QJsonObject Loaded(const QJsonObject&);
  QJsonObject Opened(const QJsonObject&);

  AutomationTargets t_;
  QLocalServer server_;
};

}  // namespace tavlin::ui
