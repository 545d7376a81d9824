// The program: wires the Linux and Qt adapters to the core and runs the event loop.
#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QTimer>
#include <QWebEngineProfile>

#include <clocale>
#include <cstdio>
#include <ctime>

#include "core/base/config.h"
#include "core/app/startup.h"
#include "core/base/text.h"
#include "core/player/player.h"
#include "ui/player/mpv_player_factory.h"
#include "core/base/endpoints.h"
#include "core/episodes/episode_request.h"
#include "platform/linux/curl_http_client.h"
#include "platform/linux/linux_machine.h"
#include "platform/linux/linux_processes.h"
#include "platform/linux/power_logind.h"
#include "platform/linux/stderr_log.h"
#include "platform/linux/steady_clock.h"
#include "ui/player/mpv_player_control.h"
#include "ui/player/mpv_video_window.h"
#include "core/app/program.h"
#include "ui/ad/ad_window.h"
#include "ui/automation/automation_server.h"
#include "ui/automation/port_recorder.h"
#include "ui/browser/web_view.h"
#include "ui/desktop/desktop_idle_inhibitor.h"
#include "ui/desktop/desktop_notifications.h"
#include "ui/desktop/media_keys.h"
#include "ui/desktop/mpris_service.h"
#include "ui/instance/local_instance_channel.h"
#include "ui/instance/window_activation.h"
#include "ui/settings/dialog_windows.h"
#include "ui/shell/main_window.h"
#include "ui/shell/painting_http_client.h"
#include "ui/shell/qt_ports.h"
#include "ui/shell/render_setup.h"
#include "ui/shell/text_metrics.h"
#include "ui/shell/translations.h"

namespace {
// TAVLIN_STARTUP_TRACE=1 prints where the start-up time goes: each step with the
// monotonic clock's seconds, which a benchmark compares with the time of its exec.
void Mark(const char* step) {
  static const bool on = !qEnvironmentVariableIsEmpty("TAVLIN_STARTUP_TRACE");
  if (!on) return;
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  std::fprintf(stderr, "startup %.6f %s\n", static_cast<double>(t.tv_sec) + t.tv_nsec / 1e9, step);
}
}  // namespace

int main(int argc, char* argv[]) {
  Mark("main");
  // Nine web views share one renderer per site instead of one each; the flag must be
  // in place before the web engine starts.
  QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
  if (!flags.contains("--process-per-site")) qputenv("QTWEBENGINE_CHROMIUM_FLAGS", (flags + " --process-per-site").trimmed());
  tavlin::ui::ChooseRenderBackend();
  // The program's arguments are a file path. Qt would read options of its own among
  // them (-qwindowtitle, -stylesheet, -platformpluginpath...), and the web engine
  // would hand the rest to Chromium (--remote-debugging-port...): they see only the
  // program's name.
  int qtArgc = 1;
  char* qtArgv[] = {argv[0], nullptr};
  // Before the application connects to the display, which takes the X11 one.
  const tavlin::instance::Activation activation = tavlin::ui::ActivationOfThisStart();
  tavlin::ui::ReserveActivationToken();
  QApplication app(qtArgc, qtArgv);
  Mark("application");
  Q_INIT_RESOURCE(skins);
  // libmpv needs C number formatting; QApplication sets the locale from the environment.
  std::setlocale(LC_NUMERIC, "C");
  QCoreApplication::setApplicationName(QStringLiteral("Tavlin"));
  tavlin::ui::InstallQtTranslations(app);
  // The desktop matches the windows (and the tray icon) to the desktop entry by it.
  QGuiApplication::setDesktopFileName(QString::fromUtf8(tavlin::ui::kDesktopEntry));

  const tavlin::ProgramFolder folder =
      tavlin::LocateProgramFolder(QCoreApplication::applicationDirPath().toStdString());

  tavlin::MpvPlayerFactory playerFactory;
  // Before the window exists the start-up question has no owner.
  tavlin::ui::QtDialogs dialogs(nullptr);
  tavlin::ui::QtShell shell;
  tavlin::LinuxMachine machine;
  tavlin::StderrLog log;
  // The whole argument text after the program's path is one file path.
  QStringList args;
  for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
  const std::string commandLine = args.join(' ').toStdString();
  const QByteArray automationPath = qgetenv("TAVLIN_AUTOMATION");
  tavlin::ui::LocalInstanceChannel instance(
      tavlin::ui::LocalInstanceChannel::RuntimeFolder(),
      tavlin::ui::LocalInstanceChannel::NameFor(folder.dir, !automationPath.isEmpty()), log);
  tavlin::StartupPorts ports{playerFactory, dialogs, shell, machine, log, nullptr, &instance, activation};
  // A start that handed its command line to the running instance ends here, before
  // it has opened anything.
  if (tavlin::RunMain(folder, ports, commandLine) != tavlin::StartupResult::ShowMainWindow) return 0;
  Mark("single instance and settings");

  // While the program is driven from outside (tests, scripts) a shutdown is only
  // recorded; the real power service is never even created then.
  tavlin::RecordingPower recordedPower;
  std::unique_ptr<tavlin::Power> realPower;
  if (automationPath.isEmpty()) realPower = std::make_unique<tavlin::LogindPower>();
  tavlin::Power& power = realPower ? *realPower : recordedPower;
  // An observed program's balloons and navigations are recorded on their way.
  std::unique_ptr<tavlin::ui::PortRecorder> recorder;
  if (!automationPath.isEmpty()) recorder = std::make_unique<tavlin::ui::PortRecorder>();

  // Starting, the web engine writes to the environment (Qt sets force_s3tc_enable).
  // That must be over before the player starts: mpv's threads read the environment
  // at any moment, and a read racing a write can follow a freed pointer. Declared
  // before the window, the profile outlives it and its views.
  const std::unique_ptr<QWebEngineProfile> webProfile = tavlin::ui::WebView::CreateProfile();
  Mark("web profile");

  tavlin::LinuxProcesses processes;
  tavlin::Portal portal{tavlin::DefaultPortalBase()};
  // The save folder is read once; RunMain has written the settings file by now.
  tavlin::MpvPlayerOptions playerOptions;
  playerOptions.portal_base = portal.base;
  playerOptions.download_folder = tavlin::player::ReadSavePath(
      folder.File(tavlin::player::kPlayerSettingsFile),
      tavlin::player::HomeSavePath());
  // Diagnostics: TAVLIN_MPV_LOG=v (or any mpv message level) prints mpv's log.
  playerOptions.mpv_log_level = qgetenv("TAVLIN_MPV_LOG").toStdString();
  auto player = std::make_unique<tavlin::MpvPlayerControl>(std::move(playerOptions));
  // Started with a media file, the player comes first; without one the portal does,
  // and the player starts once its page is up (or at the first item, if sooner).
  const bool withFile = QFileInfo(QString::fromStdString(tavlin::player::CommandLinePath(commandLine))).isFile();
  if (withFile && !player->Start()) log.Write("the player cannot start");
  Mark("player");
  tavlin::ui::WindowPorts window;
  tavlin::ui::QtTextMeasure textMeasure;
  // The portal's answers are a few bytes: ten seconds at most, and a byte past the
  // longest answer meant shows a longer one for what it is.
  tavlin::CurlHttpClient curl(10000, tavlin::episodes::kMaxAnswerBytes + 1);
  tavlin::ui::PaintingHttpClient http(curl);
  tavlin::Tray& tray = recorder ? recorder->Watch(window.tray) : window.tray;
  // Observed, the program hands nothing to the desktop: what it would open is recorded.
  tavlin::Shell& desktop = recorder ? recorder->Watch(window.desktop) : window.desktop;
  tavlin::SteadyClock clock;
  tavlin::ui::DesktopIdleInhibitor idle;
  tavlin::Program program(folder, portal,
                          {window.widget, window.screen, window.dialogs, window.menus, tray, processes,
                           desktop, power, window.application, log, http, clock, player.get(), &textMeasure, &idle});
  tavlin::ui::MainWindow mainWindow(program, window, *webProfile, player.get(), recorder.get());
  idle.Watch(&window.widget);
  Mark("main window");
  http.SetBeforeWait([&mainWindow] { mainWindow.Mirror(); });
  http.SetAfterWait([&mainWindow] { mainWindow.ReleaseHeld(); });
  tavlin::ui::DialogWindows dialogWindows(program, mainWindow, window.strips);
  tavlin::ui::AdWindow adWindow(program, mainWindow, window.strips, *webProfile);
  Mark("dialogs and ad window");
  // Nothing of ours sits over a full-screen film: the ad (top-most) and the dialogs
  // (above the main window) wait until it is back.
  QObject::connect(player.get(), &tavlin::MpvPlayerControl::FullScreenChanged, &mainWindow, [&](bool on) {
    for (tavlin::ui::FormWidget* w : {&adWindow.widget(), &dialogWindows.settings(), &dialogWindows.help()}) w->HoldBack(on);
  });

  std::unique_ptr<tavlin::ui::AutomationServer> automation;
  if (recorder) {
    automation = std::make_unique<tavlin::ui::AutomationServer>(
        tavlin::ui::AutomationTargets{program, mainWindow, window, *recorder, recordedPower, player.get(), dialogWindows, adWindow});
    if (!automation->Listen(QString::fromLocal8Bit(automationPath))) {
      log.Write("cannot listen for automation at " + automationPath.toStdString());
      return 2;
    }
  }
  // Media keys and the desktop's player controls; without a session bus the
  // program runs as before.
  tavlin::ui::MprisService mpris(program.remote(), [&mainWindow](std::function<void()> fn) {
    mainWindow.Dispatch(std::move(fn));
  });
  if (mpris.Register()) {
    QObject::connect(&mainWindow, &tavlin::ui::MainWindow::Settled, &mpris, &tavlin::ui::MprisService::Refresh);
  }
  tavlin::ui::MediaKeys mediaKeys(program.remote(), [&mainWindow](std::function<void()> fn) {
    mainWindow.Dispatch(std::move(fn));
  });
  // The screen stays awake while a film plays: looked at after every event.
  QObject::connect(&mainWindow, &tavlin::ui::MainWindow::Settled, &mainWindow,
                   [&program] { program.keepAwake().Update(); });
  // Started with a media file, the picture comes first: the pages wait for its first
  // frame (a file without one, or one that fails, holds them a moment only).
  if (withFile && player->VideoView()) {
    tavlin::ui::WebView::HoldLoads();
    QObject::connect(player->VideoView(), &tavlin::MpvVideoWindow::FirstFrameDrawn, &tavlin::ui::WebView::ReleaseLoads);
    QTimer::singleShot(1000, &tavlin::ui::WebView::ReleaseLoads);
  }
  QObject::connect(player.get(), &tavlin::MpvPlayerControl::PlaybackStarted, &mainWindow,
                   [&] { mainWindow.Dispatch([&program] { program.player().PlaybackStarted(); }); },
                   Qt::QueuedConnection);
  mainWindow.Start(commandLine);
  Mark("window shown");
  tavlin::ui::WebView::AfterFirstPage([] { Mark("first page"); });
  if (player->VideoView())
    QObject::connect(player->VideoView(), &tavlin::MpvVideoWindow::FirstFrameDrawn, [] { Mark("first frame"); });
  if (!withFile) {
    auto startPlayer = [&player, &log] {
      player->StartInBackground([&log](bool started) {
        if (!started) log.Write("the player cannot start");
      });
    };
    tavlin::ui::WebView::AfterFirstPage(startPlayer);
    // A portal address the views refuse never gives a first page.
    QTimer::singleShot(5000, player.get(), startPlayer);
  }
  // Command lines of later starts, those that came while the window was being made first.
  instance.Deliver([&](const std::string& text, const tavlin::instance::Activation& activation) {
    // By value: while the portal is asked it runs later.
    mainWindow.Dispatch([&program, text, activation] {
      // The window comes to the front with the launcher's leave to take the focus.
      const tavlin::ui::ActivationScope scope(activation);
      program.instance().Form_LinkExecute(text);
    });
  });
  const int rc = app.exec();
  // The player goes before the window that holds its picture.
  player.reset();
  return rc;
}
