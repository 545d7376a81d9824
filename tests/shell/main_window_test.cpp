// The main window as the program builds it (real views, the automation channel on a
// real socket, the window's timers), on the program's core with fake desktop ports:
// while a handler waits for the portal, an automation request, a page's link click
// and the poll's ticks all wait for it, then reach the core in one piece and show.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QKeyEvent>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalSocket>
#include <QWebChannel>
#include <QWebEngineProfile>
#include <atomic>
#include <chrono>
#include <thread>

#include "core/app/program.h"
#include "platform/linux/steady_clock.h"
#include "support/fakes.h"
#include "support/temp_folder.h"
#include "ui/ad/ad_window.h"
#include "ui/automation/automation_server.h"
#include "ui/automation/port_recorder.h"
#include "ui/settings/dialog_windows.h"
#include "ui/shell/main_window.h"
#include "ui/shell/painting_http_client.h"

namespace tavlin::ui {
namespace {

using tavlin::testing::TempFolder;

// The portal: `during` runs on the request's own thread, as the request itself.
class SlowPortal final : public HttpClient {
 public:
  std::function<void()> during;
  std::optional<std::string> Get(const std::string&) override {
    if (during) during();
    return "answer";
  }
};

// A client of the automation channel, on a thread of its own as a test script is.
class AutomationClient {
 public:
  explicit AutomationClient(const QString& path) {
    socket_.connectToServer(path);
    connected_ = socket_.waitForConnected(3000);
  }
  bool connected() const { return connected_; }
  QJsonObject Ask(const QJsonObject& request) {
    socket_.write(QJsonDocument(request).toJson(QJsonDocument::Compact) + "\n");
    socket_.waitForBytesWritten(3000);
    QElapsedTimer clock;
    clock.start();
    while (!socket_.canReadLine() && clock.elapsed() < 5000) socket_.waitForReadyRead(100);
    return QJsonDocument::fromJson(socket_.readLine()).object();
  }

 private:
  QLocalSocket socket_;
  bool connected_ = false;
};

struct Running {
  Running() {
    ports.widget.resize(900, 600);
    window.Start("");
    Settle(300);
    listening = automation->Listen(socketPath());
  }
  ~Running() { automation.reset(); }
  QString socketPath() const { return QString::fromStdString(dir.File("automation.sock")); }
  static void Settle(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  bool listening = false;

  TempFolder dir;
  WindowPorts ports;
  tavlin::testing::FakeProcesses processes;
  tavlin::testing::FakeLog log;
  RecordingPower power;
  SteadyClock clock;
  SlowPortal portal;
  PaintingHttpClient http{portal, ports.gate};
  PortRecorder recorder;
  SharedProfile profile;
  Program program{
      ProgramFolder{dir.dir()}, Portal{"http://127.0.0.1:9/soft/"},
      ProgramPorts{ports.widget, ports.screen, ports.dialogs, ports.menus, recorder.Watch(ports.tray), processes,
                   recorder.Watch(ports.desktop), power, ports.application, log, http, clock, nullptr}};
  MainWindow window{program, ports, profile, nullptr, &recorder};
  DialogWindows dialogWindows{program, window, ports.strips};
  AdWindow adWindow{program, window, ports.strips, profile};
  std::unique_ptr<AutomationServer> automation = std::make_unique<AutomationServer>(
      AutomationTargets{program, window, ports, recorder, power, nullptr, dialogWindows, adWindow});
};

TEST(MainWindow, WhatComesWhileAHandlerWaitsForThePortalReachesTheCoreAfterItAndShows) {
  Running r;
  ASSERT_TRUE(r.listening);
  shell::BA1& f = r.program.ba1();
  ASSERT_EQ(f.npc[1].tooltip, "最大化");
  std::vector<std::string> log;
  auto poll = f.Timer1.onTick;
  ASSERT_TRUE(f.Timer1.enabled());
  f.Timer1.onTick = [&log, poll] {
    log.push_back("tick");
    if (poll) poll();
  };
  int settled = 0;
  QObject::connect(&r.window, &MainWindow::Settled, [&] { ++settled; });
  WebView* web3 = r.window.views().at("Web3");
  QObject* bridge = web3->page()->webChannel()->registeredObjects().value(QStringLiteral("tavlinLink"));
  ASSERT_NE(bridge, nullptr);

  QJsonObject clicked, linked, dumped;
  r.portal.during = [&] {
    AutomationClient client(r.socketPath());
    ASSERT_TRUE(client.connected());
    // The window's maximise button, and a link in the second view: answered at once,
    // done later.
    clicked = client.Ask({{"op", "click"}, {"control", "npc"}, {"index", 1}});
    linked = client.Ask({{"op", "link"}, {"view", "Web2"}, {"href", "http://127.0.0.1:1/held"}});
    // The user clicks a link in the third view: its page's script reports it.
    QMetaObject::invokeMethod(bridge, "linkClicked", Qt::QueuedConnection,
                              Q_ARG(QString, QStringLiteral("http://127.0.0.1:1/page")), Q_ARG(QString, QString()),
                              Q_ARG(QString, QStringLiteral("http://127.0.0.1:1/")), Q_ARG(bool, true));
    // Long enough for the poll's one-second timer to come, twice.
    std::this_thread::sleep_for(std::chrono::milliseconds(2300));
    // What the program shows meanwhile is as the handler left it.
    dumped = client.Ask({{"op", "dump"}});
  };

  r.window.Dispatch([&] {
    log.push_back("asks");
    EXPECT_EQ(r.http.Get("http://127.0.0.1:9/soft/x"), "answer");
    log.push_back("answered");
  });

  EXPECT_EQ(clicked.value("ok"), true);
  EXPECT_EQ(linked.value("ok"), true);
  ASSERT_EQ(dumped.value("ok"), true);
  const QJsonObject shown = dumped.value("forms").toObject().value("BA1").toObject();
  EXPECT_NE(shown.value("views").toObject().value("Web2").toString(), "http://127.0.0.1:1/held");
  for (const QJsonValue c : shown.value("controls").toArray()) {
    if (c["name"] == "npc" && c["index"] == 1) EXPECT_EQ(c["tooltip"].toString(), QString::fromUtf8("最大化"));
  }
  // Held, then run once the handler returned: the tick once, however many came.
  ASSERT_GE(log.size(), 3u);
  EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + 3),
            (std::vector<std::string>{"asks", "answered", "tick"}));
  EXPECT_EQ(std::count(log.begin(), log.end(), "tick"), 1);
  EXPECT_EQ(f.npc[1].tooltip, "还原");
  EXPECT_EQ(r.window.views().at("Web2")->CurrentAddress(), "http://127.0.0.1:1/held");
  EXPECT_EQ(web3->CurrentAddress(), "http://127.0.0.1:1/page");
  EXPECT_TRUE(r.ports.widget.windowState() & Qt::WindowMaximized);
  // Each of them was mirrored onto the window, as the handler was.
  EXPECT_GE(settled, 5);
}

// The window sees every key before its children, and a key travels up from the
// widget with the focus through each parent: it must reach the core once, and a
// key typed into another window of the program not at all.
TEST(MainWindow, AKeyReachesTheCoreOnceHoweverDeepTheFocusAndNotFromADialog) {
  Running r;
  r.ports.widget.activateWindow();
  Running::Settle(100);
  QWidget* thumb = r.ports.widget.WidgetFor("gunt1", std::nullopt);
  ASSERT_NE(thumb, nullptr);
  ASSERT_NE(thumb->parentWidget(), &r.ports.widget);  // a few parents to pass
  thumb->setFocus();
  Running::Settle(50);
  ASSERT_EQ(QApplication::focusWidget(), thumb);
  int settled = 0;
  QObject::connect(&r.window, &MainWindow::Settled, [&] { ++settled; });

  QKeyEvent press(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
  QApplication::sendEvent(thumb, &press);
  EXPECT_EQ(settled, 1);

  QWidget& settings = r.dialogWindows.settings();
  QKeyEvent other(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
  QApplication::sendEvent(&settings, &other);
  EXPECT_EQ(settled, 1);
}

}  // namespace
}  // namespace tavlin::ui
