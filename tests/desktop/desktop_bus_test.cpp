// The notification and screen-saver adapters on a private session bus, against
// recording stand-ins of the desktop's services: what they send, in which order,
// across answers that come late.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPixmap>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <functional>
#include <memory>

#include "ui/desktop/desktop_idle_inhibitor.h"
#include "ui/desktop/desktop_notifications.h"

namespace tavlin::ui {
namespace {

QString g_log;
std::vector<std::unique_ptr<QProcess>> g_processes;

QProcess* Start(const QString& program, const QStringList& args) {
  auto p = std::make_unique<QProcess>();
  p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
  p->start(program, args);
  if (!p->waitForStarted(5000)) return nullptr;
  g_processes.push_back(std::move(p));
  return g_processes.back().get();
}

// The calls the stand-ins recorded, of one kind (all: empty kind).
std::vector<QJsonObject> Calls(const QString& kind = {}) {
  QFile f(g_log);
  std::vector<QJsonObject> out;
  if (!f.open(QIODevice::ReadOnly)) return out;
  for (const QByteArray& line : f.readAll().split('\n')) {
    const QJsonObject o = QJsonDocument::fromJson(line).object();
    if (!o.isEmpty() && (kind.isEmpty() || o["call"].toString() == kind)) out.push_back(o);
  }
  return out;
}

bool WaitFor(const std::function<bool()>& done, int ms = 5000) {
  QElapsedTimer t;
  t.start();
  while (!done()) {
    if (t.elapsed() > ms) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(5);
  }
  return true;
}

// Lets late answers arrive: nothing more may come of them.
void Settle() {
  WaitFor([] { return false; }, 400);
}

QProcess* StartFake(const QStringList& services) {
  const size_t before = Calls("ready").size();
  QProcess* fake = Start(QStringLiteral("/usr/bin/python3"), QStringList{TAVLIN_FAKE_DESKTOP, g_log} + services);
  if (!fake || !WaitFor([&] { return Calls("ready").size() > before; }, 20000)) return nullptr;
  return fake;
}

TEST(DesktopNotifications, EachReplacesTheProgramsLastWithIconEntryAndTheTextEscaped) {
  QPixmap picture(64, 64);
  picture.fill(Qt::darkBlue);
  DesktopNotifications n{QIcon(picture)};
  ASSERT_TRUE(DesktopNotifications::ServiceAvailable());
  n.Show(QStringLiteral("Tavlin提示:"), QStringLiteral("片名 <b>A&amp;B</b> <a href=\"x\">y</a>"));
  // Two more before the service has answered the first: the last one waits, the
  // one between is outdated before it could be seen.
  n.Show(QStringLiteral("Tavlin提示:"), QStringLiteral("二"));
  n.Show(QStringLiteral("Tavlin提示:"), QStringLiteral("三"));
  ASSERT_TRUE(WaitFor([] { return Calls("Notify").size() == 2; }));
  n.Show(QStringLiteral("Tavlin提示:"), QStringLiteral("四"));
  ASSERT_TRUE(WaitFor([] { return Calls("Notify").size() == 3; }));
  Settle();

  const std::vector<QJsonObject> sent = Calls("Notify");
  ASSERT_EQ(sent.size(), 3u);
  const QJsonObject& first = sent[0];
  EXPECT_EQ(first["replaces"].toInt(), 0);
  EXPECT_EQ(first["summary"].toString(), QStringLiteral("Tavlin提示:"));
  EXPECT_EQ(first["body"].toString(),
            QStringLiteral("片名 &lt;b&gt;A&amp;amp;B&lt;/b&gt; &lt;a href=\"x\"&gt;y&lt;/a&gt;"));
  EXPECT_EQ(first["icon"].toString(), QStringLiteral("tavlin"));
  EXPECT_EQ(first["app"].toString(), QStringLiteral("Tavlin"));
  const QJsonObject hints = first["hints"].toObject();
  EXPECT_EQ(hints["desktop-entry"].toString(), QStringLiteral("org.tavlin.tavlin"));
  // Not installed here, so the icon travels as a picture: 48 x 48 RGBA.
  EXPECT_EQ(hints["image-data"].toArray().at(6).toString(), QStringLiteral("<9216 bytes>"));
  EXPECT_EQ(hints["image-data"].toArray().at(0).toInt(), 48);

  EXPECT_EQ(sent[1]["body"].toString(), QStringLiteral("三"));
  EXPECT_EQ(sent[1]["replaces"].toInt(), first["id"].toInt());
  EXPECT_EQ(sent[2]["body"].toString(), QStringLiteral("四"));
  EXPECT_EQ(sent[2]["replaces"].toInt(), first["id"].toInt());
}

// The most holds the screen saver ever counted, and whether every release named a
// hold of ours.
std::pair<int, bool> Holds() {
  int most = 0;
  bool known = true;
  for (const QJsonObject& c : Calls()) {
    most = std::max(most, c["held"].toInt());
    if (c["call"].toString() == QLatin1String("UnInhibit")) known = known && c["known"].toBool();
  }
  return {most, known};
}

int HeldNow() {
  const std::vector<QJsonObject> all = Calls();
  for (auto it = all.rbegin(); it != all.rend(); ++it) {
    if (it->contains("held")) return (*it)["held"].toInt();
  }
  return 0;
}

TEST(DesktopIdleInhibitor, OneHoldAtATimeAcrossQuickChangesAndNoneLeftBehind) {
  const QString reason = QStringLiteral("正在播放影片");
  {
    DesktopIdleInhibitor idle;
    // Play, pause, play again before the screen saver has answered the first hold.
    idle.Hold(reason.toStdString());
    idle.Release();
    idle.Hold(reason.toStdString());
    ASSERT_TRUE(WaitFor([] { return Calls("Inhibit").size() == 1; }));
    Settle();
    EXPECT_EQ(HeldNow(), 1);
    EXPECT_EQ(Calls("Inhibit")[0]["reason"].toString(), reason);
    EXPECT_EQ(Calls("Inhibit")[0]["app"].toString(), QStringLiteral("Tavlin"));

    idle.Release();
    ASSERT_TRUE(WaitFor([] { return HeldNow() == 0; }));
    // Held and let go before the answer: the hold that comes is given back.
    idle.Hold(reason.toStdString());
    idle.Release();
    ASSERT_TRUE(WaitFor([] { return Calls("UnInhibit").size() == 2; }));
    Settle();
    EXPECT_EQ(HeldNow(), 0);

    idle.Hold(reason.toStdString());
    ASSERT_TRUE(WaitFor([] { return HeldNow() == 1; }));
  }  // the program ends while playing
  ASSERT_TRUE(WaitFor([] { return HeldNow() == 0; }));
  EXPECT_EQ(Calls("Inhibit").size(), 3u);
  EXPECT_EQ(Holds(), (std::pair{1, true}));
}

// Last: the screen saver service goes, and the portal is what the desktop offers.
TEST(DesktopIdleInhibitor, WhereOnlyThePortalIsOfferedItsRequestIsHeldAndClosed) {
  QProcess* portal = StartFake({QStringLiteral("portal")});
  ASSERT_TRUE(portal);
  QProcess& services = *g_processes[1];  // after the bus: the screen saver and notifications
  services.terminate();
  ASSERT_TRUE(services.waitForFinished(5000));

  DesktopIdleInhibitor idle;
  idle.Hold("正在播放影片");
  ASSERT_TRUE(WaitFor([] { return Calls("PortalInhibit").size() == 1; }));
  const QJsonObject held = Calls("PortalInhibit")[0];
  EXPECT_EQ(held["flags"].toInt(), 8) << "idle only: no logout or suspend is held off";
  EXPECT_EQ(held["options"].toObject()["reason"].toString(), QStringLiteral("正在播放影片"));
  idle.Release();
  ASSERT_TRUE(WaitFor([] { return Calls("PortalClose").size() == 1; }));
  EXPECT_EQ(Calls("PortalClose")[0]["handle"], held["handle"]);
  EXPECT_EQ(Calls("Inhibit").size(), 3u) << "the screen saver was not asked";
}

}  // namespace
}  // namespace tavlin::ui

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("Tavlin"));
  QTemporaryDir dir;
  tavlin::ui::g_log = dir.filePath(QStringLiteral("calls.log"));
  // The bus first, then everything that talks on it knows its address.
  QProcess* bus =
      tavlin::ui::Start(QStringLiteral("dbus-daemon"),
                        {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1"),
                         QStringLiteral("--address=unix:path=") + dir.filePath(QStringLiteral("bus"))});
  if (!bus || !bus->waitForReadyRead(10000)) return 2;
  qputenv("DBUS_SESSION_BUS_ADDRESS", bus->readLine().trimmed());
  if (!tavlin::ui::StartFake({QStringLiteral("screensaver"), QStringLiteral("notifications")})) return 3;
  const int rc = RUN_ALL_TESTS();
  for (auto it = tavlin::ui::g_processes.rbegin(); it != tavlin::ui::g_processes.rend(); ++it) {
    (*it)->terminate();
    (*it)->waitForFinished(5000);
  }
  return rc;
}
