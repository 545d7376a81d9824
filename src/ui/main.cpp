// The program: wires the Linux and Qt adapters to the core and runs the event loop.
#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QUrl>
#include <QWidget>

#include <clocale>

#include "core/app/config.h"
#include "core/app/startup.h"
#include "core/app/text.h"
#include "mpv_player_factory.h"
#include "platform/linux/linux_machine.h"

namespace {

class QtDialogs final : public tavlin::Dialogs {
 public:
  tavlin::Answer AskYesNo(const std::string& text, const std::string& title) override {
    const auto button = QMessageBox::question(nullptr, QString::fromStdString(title),
                                              QString::fromStdString(text),
                                              QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    return button == QMessageBox::Yes ? tavlin::Answer::Yes : tavlin::Answer::No;
  }
  void Inform(const std::string& text, const std::string& title) override {
    QMessageBox::information(nullptr, QString::fromStdString(title), QString::fromStdString(text));
  }
  std::optional<std::string> OpenFile(const std::string& title, const std::string& filter) override {
    const QString path = QFileDialog::getOpenFileName(nullptr, QString::fromStdString(title), {},
                                                      QString::fromStdString(filter));
    if (path.isEmpty()) return std::nullopt;
    return path.toStdString();
  }
  std::optional<std::string> BrowseFolder(const std::string& title) override {
    const QString path = QFileDialog::getExistingDirectory(nullptr, QString::fromStdString(title));
    if (path.isEmpty()) return std::nullopt;
    return path.toStdString();
  }
};

class QtShell final : public tavlin::Shell {
 public:
  bool OpenUrl(const std::string& address) override {
    const QUrl url(QString::fromStdString(address));
    // Addresses may come from the portal: only web pages are handed to the desktop.
    if (url.scheme() != "http" && url.scheme() != "https") return false;
    return QDesktopServices::openUrl(url);
  }
  bool OpenFolder(const std::string& path) override {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
  }
};

// The frameless main window until the full shell takes its place.
class MainWindow final : public QWidget {
 public:
  MainWindow() {
    setWindowFlags(Qt::FramelessWindowHint | Qt::Window);
    setWindowTitle(QStringLiteral("Tavlin 3.0"));
  }

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (event->key() == Qt::Key_Escape) {
      close();
      return;
    }
    QWidget::keyPressEvent(event);
  }
};

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  // libmpv needs C number formatting; QApplication sets the locale from the environment.
  std::setlocale(LC_NUMERIC, "C");
  QCoreApplication::setApplicationName(QStringLiteral("Tavlin"));

  const tavlin::ProgramFolder folder =
      tavlin::LocateProgramFolder(QCoreApplication::applicationDirPath().toStdString());

  tavlin::MpvPlayerFactory playerFactory;
  QtDialogs dialogs;
  QtShell shell;
  tavlin::LinuxMachine machine;
  tavlin::StartupPorts ports{playerFactory, dialogs, shell, machine, nullptr};
  if (tavlin::RunMain(folder, ports) == tavlin::StartupResult::Quit) return 0;

  MainWindow window;
  // Sizes are kept in twips, 15 to a pixel; the designed size is 904 x 565.
  int width = 13560, height = 8475;
  if (tavlin::ToNumber(tavlin::ReadIni(folder.IniPath(), "S_q", "s_size")) == 2) {
    width = tavlin::ToNumber(tavlin::ReadIni(folder.IniPath(), "S_q", "h_w"));
    height = tavlin::ToNumber(tavlin::ReadIni(folder.IniPath(), "S_q", "h_h"));
  }
  window.resize(width / 15, height / 15);
  window.show();
  return app.exec();
}
