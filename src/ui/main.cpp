// The program: wires the Linux and Qt adapters to the core and runs the event loop.
#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QTimer>

#include <clocale>
#include <memory>
#include <optional>

#include "core/base/config.h"
#include "core/app/start_sequence.h"
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
#include "ui/shell/startup_trace.h"
#include "ui/shell/text_metrics.h"
#include "ui/shell/translations.h"

namespace {
using tavlin::ui::TraceStartupStep;

// The Qt layer's side of the start (core/app/start_sequence.h says in which order).
// Members are declared in the order they are made, so that they go in reverse.
class QtStart final : public tavlin::StartSteps {
 public:
  QtStart(const tavlin::ProgramFolder& folder, std::string commandLine, const QByteArray& automationPath,
          tavlin::Log& log, tavlin::ui::LocalInstanceChannel& instance)
      : folder_(folder),
        commandLine_(std::move(commandLine)),
        automationPath_(automationPath),
        log_(log),
        instance_(instance) {
    // While the program is driven from outside (tests, scripts) a shutdown is only
    // recorded; the real power service is never even created then.
    if (automationPath_.isEmpty()) realPower_ = std::make_unique<tavlin::LogindPower>();
    // An observed program's balloons and navigations are recorded on their way.
    else recorder_ = std::make_unique<tavlin::ui::PortRecorder>();
  }
  // The player goes before the window that holds its picture.
  ~QtStart() override { player_.reset(); }

  void StartWebEngine() override {
    webProfile_.Get();
    TraceStartupStep("web profile");
  }

  void MakePlayer() override {
    // The save folder is read once; RunMain has written the settings file by now.
    tavlin::MpvPlayerOptions options;
    options.portal_base = portal_.base;
    options.download_folder =
        tavlin::player::ReadSavePath(folder_.File(tavlin::player::kPlayerSettingsFile), tavlin::player::HomeSavePath());
    // Diagnostics: TAVLIN_MPV_LOG=v (or any mpv message level) prints mpv's log.
    options.mpv_log_level = qgetenv("TAVLIN_MPV_LOG").toStdString();
    player_ = std::make_unique<tavlin::MpvPlayerControl>(std::move(options));
  }

  bool StartPlayer() override { return player_->Start(); }

  void StartPlayerInBackground(std::function<void(bool)> done) override { player_->StartInBackground(std::move(done)); }

  bool MakeWindows() override {
    TraceStartupStep("player");
    window_.emplace();
    tavlin::ui::WindowPorts& window = *window_;
    http_.emplace(curl_, window.gate);
    tavlin::Tray& tray = recorder_ ? recorder_->Watch(window.tray) : window.tray;
    // Observed, the program hands nothing to the desktop: what it would open is recorded.
    tavlin::Shell& desktop = recorder_ ? recorder_->Watch(window.desktop) : window.desktop;
    tavlin::Power& power = realPower_ ? *realPower_ : recordedPower_;
    program_.emplace(
        folder_, portal_,
        tavlin::ProgramPorts{window.widget, window.screen, window.dialogs, window.menus, tray, processes_, desktop,
                             power, window.application, log_, *http_, clock_, player_.get(), &textMeasure_, &idle_});
    mainWindow_.emplace(*program_, window, webProfile_, player_.get(), recorder_.get());
    idle_.Watch(&window.widget);
    TraceStartupStep("main window");
    tavlin::ui::MainWindow& mainWindow = *mainWindow_;
    dialogWindows_.emplace(*program_, mainWindow, window.strips);
    adWindow_.emplace(*program_, mainWindow, window.strips, webProfile_);
    TraceStartupStep("dialogs and ad window");
    // Nothing of ours sits over a full-screen film: the ad (top-most) and the dialogs
    // (above the main window) wait until it is back.
    QObject::connect(player_.get(), &tavlin::MpvPlayerControl::FullScreenChanged, &mainWindow, [this](bool on) {
      for (tavlin::ui::FormWidget* w : {&adWindow_->widget(), &dialogWindows_->settings(), &dialogWindows_->help()})
        w->HoldBack(on);
    });
    if (recorder_ && !ListenForAutomation()) return false;
    ConnectDesktop();
    QObject::connect(
        player_.get(), &tavlin::MpvPlayerControl::PlaybackStarted, &mainWindow,
        [this] { mainWindow_->Dispatch([this] { program_->player().PlaybackStarted(); }); }, Qt::QueuedConnection);
    return true;
  }

  bool PlayerHasPicture() override { return player_->VideoView() != nullptr; }

  void HoldPagesForFirstFrame(int ms) override {
    tavlin::ui::EventGate& gate = window_->gate;
    gate.HoldLoads();
    QObject::connect(player_->VideoView(), &tavlin::MpvVideoWindow::FirstFrameDrawn, &gate,
                     &tavlin::ui::EventGate::ReleaseLoads);
    QTimer::singleShot(ms, &gate, &tavlin::ui::EventGate::ReleaseLoads);
  }

  void ShowWindow() override {
    mainWindow_->Start(commandLine_);
    TraceStartupStep("window shown");
    if (player_->VideoView())
      QObject::connect(player_->VideoView(), &tavlin::MpvVideoWindow::FirstFrameDrawn,
                       [] { TraceStartupStep("first frame"); });
  }

  void AfterFirstPage(std::function<void()> then) override { window_->gate.AfterFirstPage(std::move(then)); }

  void After(int ms, std::function<void()> then) override { QTimer::singleShot(ms, player_.get(), std::move(then)); }

  void DeliverHandOffs() override {
    // Command lines of later starts, those that came while the window was being made first.
    instance_.Deliver([this](const std::string& text, const tavlin::instance::Activation& activation) {
      // By value: while the portal is asked it runs later.
      mainWindow_->Dispatch([this, text, activation] {
        // The window comes to the front with the launcher's leave to take the focus.
        const tavlin::ui::ActivationScope scope(activation);
        program_->instance().Form_LinkExecute(text);
      });
    });
  }

  void Log(const std::string& line) override { log_.Write(line); }

 private:
  bool ListenForAutomation() {
    automation_ = std::make_unique<tavlin::ui::AutomationServer>(tavlin::ui::AutomationTargets{
        *program_, *mainWindow_, *window_, *recorder_, recordedPower_, player_.get(), *dialogWindows_, *adWindow_});
    if (automation_->Listen(QString::fromLocal8Bit(automationPath_))) return true;
    log_.Write("cannot listen for automation at " + automationPath_.toStdString());
    return false;
  }

  // Media keys and the desktop's player controls; without a session bus the program
  // runs as before. The screen stays awake while a film plays: looked at after
  // every event.
  void ConnectDesktop() {
    tavlin::ui::MainWindow& mainWindow = *mainWindow_;
    auto dispatch = [&mainWindow](std::function<void()> fn) { mainWindow.Dispatch(std::move(fn)); };
    mpris_.emplace(program_->remote(), dispatch);
    if (mpris_->Register()) {
      QObject::connect(&mainWindow, &tavlin::ui::MainWindow::Settled, &*mpris_, &tavlin::ui::MprisService::Refresh);
    }
    mediaKeys_.emplace(program_->remote(), dispatch);
    QObject::connect(&mainWindow, &tavlin::ui::MainWindow::Settled, &mainWindow,
                     [this] { program_->keepAwake().Update(); });
  }

  const tavlin::ProgramFolder& folder_;
  const std::string commandLine_;
  const QByteArray automationPath_;
  tavlin::Log& log_;
  tavlin::ui::LocalInstanceChannel& instance_;
  tavlin::RecordingPower recordedPower_;
  std::unique_ptr<tavlin::Power> realPower_;
  std::unique_ptr<tavlin::ui::PortRecorder> recorder_;
  // Declared before the windows, the profile outlives them and their views.
  tavlin::ui::SharedProfile webProfile_;
  tavlin::LinuxProcesses processes_;
  tavlin::Portal portal_{tavlin::DefaultPortalBase()};
  std::unique_ptr<tavlin::MpvPlayerControl> player_;
  std::optional<tavlin::ui::WindowPorts> window_;
  tavlin::ui::QtTextMeasure textMeasure_;
  // The portal's answers are a few bytes: ten seconds at most, and a byte past the
  // longest answer meant shows a longer one for what it is.
  tavlin::CurlHttpClient curl_{10000, tavlin::episodes::kMaxAnswerBytes + 1};
  // Made with the window: a request waits through the window's event gate.
  std::optional<tavlin::ui::PaintingHttpClient> http_;
  tavlin::SteadyClock clock_;
  tavlin::ui::DesktopIdleInhibitor idle_;
  std::optional<tavlin::Program> program_;
  std::optional<tavlin::ui::MainWindow> mainWindow_;
  std::optional<tavlin::ui::DialogWindows> dialogWindows_;
  std::optional<tavlin::ui::AdWindow> adWindow_;
  std::unique_ptr<tavlin::ui::AutomationServer> automation_;
  std::optional<tavlin::ui::MprisService> mpris_;
  std::optional<tavlin::ui::MediaKeys> mediaKeys_;
};

// Before the web engine starts: nine web views share one renderer per site instead
// of one each, and the render backend is chosen. The engine sets force_s3tc_enable
// as it starts, which may be while mpv's threads read the environment: set here
// first, while there is one thread, that write only replaces the value in place (an
// environment that grew could move under a reader).
void PrepareWebEngine() {
  QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
  if (!flags.contains("--process-per-site"))
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", (flags + " --process-per-site").trimmed());
  if (!qEnvironmentVariableIsSet("force_s3tc_enable")) qputenv("force_s3tc_enable", "true");
  tavlin::ui::ChooseRenderBackend();
}

void SetUpApplication(QApplication& app) {
  // libmpv needs C number formatting; QApplication sets the locale from the environment.
  std::setlocale(LC_NUMERIC, "C");
  QCoreApplication::setApplicationName(QStringLiteral("Tavlin"));
  tavlin::ui::InstallQtTranslations(app);
  // The desktop matches the windows (and the tray icon) to the desktop entry by it.
  QGuiApplication::setDesktopFileName(QString::fromUtf8(tavlin::ui::kDesktopEntry));
}

// The whole argument text after the program's path is one file path.
std::string CommandLineOf(int argc, char* argv[]) {
  QStringList args;
  for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
  return args.join(' ').toStdString();
}

}  // namespace

int main(int argc, char* argv[]) {
  TraceStartupStep("main");
  PrepareWebEngine();
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
  TraceStartupStep("application");
  Q_INIT_RESOURCE(skins);  // outside any namespace
  SetUpApplication(app);

  const tavlin::ProgramFolder folder =
      tavlin::LocateProgramFolder(QCoreApplication::applicationDirPath().toStdString());
  tavlin::MpvPlayerFactory playerFactory;
  // Before the window exists the start-up question has no owner.
  tavlin::ui::QtDialogs dialogs(nullptr);
  tavlin::ui::QtShell shell;
  tavlin::LinuxMachine machine;
  tavlin::StderrLog log;
  const std::string commandLine = CommandLineOf(argc, argv);
  const QByteArray automationPath = qgetenv("TAVLIN_AUTOMATION");
  tavlin::ui::LocalInstanceChannel instance(
      tavlin::ui::LocalInstanceChannel::RuntimeFolder(),
      tavlin::ui::LocalInstanceChannel::NameFor(folder.dir, !automationPath.isEmpty()), log);
  tavlin::StartupPorts ports{playerFactory, dialogs, shell, machine, log, nullptr, &instance, activation};
  // A start that handed its command line to the running instance ends here, before
  // it has opened anything.
  if (tavlin::RunMain(folder, ports, commandLine) != tavlin::StartupResult::ShowMainWindow) return 0;
  TraceStartupStep("single instance and settings");

  // Started with a media file, the player comes first; without one the portal does.
  const bool withFile = QFileInfo(QString::fromStdString(tavlin::player::CommandLinePath(commandLine))).isFile();
  QtStart start(folder, commandLine, automationPath, log, instance);
  if (tavlin::RunStartSequence(start, withFile) != tavlin::StartOutcome::kRun) return 2;
  return app.exec();
}
