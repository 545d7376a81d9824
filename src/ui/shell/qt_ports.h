#pragma once
// Qt adapters of the small ports of the main window: desktop, tray, pop-up menus
// and dialogs. Dialogs are kept in a registry so that the automation channel can
// list and answer them.
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QSystemTrayIcon>
#include <functional>
#include <map>
#include <memory>

#include "core/menus/tip.h"
#include "platform/application.h"
#include "platform/dialogs.h"
#include "platform/screen.h"
#include "platform/shell.h"
#include "platform/tray.h"
#include "ui/desktop/desktop_notifications.h"
#include "ui/shell/event_gate.h"

class QFileDialog;

namespace tavlin::ui {

class QtScreen : public Screen {
 public:
  PixelRect WorkArea() override;
  bool PlacesWindows() override;
  int ScreenWidth() override;
  int ScreenHeight() override;
};

// Balloons go to the desktop's notification service where there is one (or where
// there is no tray to show them); on a bare tray Qt draws its own.
class QtTray : public QObject, public Tray {
 public:
  explicit QtTray(QIcon icon);
  std::function<void(int button)> clicked;  // 1 left, 2 right
  bool Available() override;
  void Add(const std::string& tooltip) override;
  void ShowBalloon(const std::string& title, const std::string& text, const std::string& tooltip) override;
  void Remove() override;
  QSystemTrayIcon& icon() { return icon_; }
  // The icon's own menu: a tray host of today shows it at the icon itself (Qt
  // exports it on the bus); on an older tray Qt pops it up at a right click.
  void SetMenu(const menus::Menu& menu, std::function<void(const std::string& item)> picked);
  QMenu* menu() { return menu_.get(); }

 private:
  std::unique_ptr<QMenu> menu_;  // outlives the icon that shows it
  QSystemTrayIcon icon_;
  DesktopNotifications notifications_;
};

class QtMenus : public QObject, public MenuHost {
 public:
  explicit QtMenus(QWidget& anchor) : anchor_(anchor) {}
  // The menu form whose menus pop up; until then nothing does.
  void SetSource(const menus::Tip& tip) { tip_ = &tip; }
  std::function<void(const std::string& item)> picked;
  void Popup(const std::string& menu, int x, int y) override;
  void PopupAtPointer(const std::string& menu) override;
  std::string openMenu() const { return open_ && open_->isVisible() ? openName_ : ""; }
  void CloseOpen();

 private:
  void Show(const std::string& menu, const QPoint& global);
  const menus::Tip* tip_ = nullptr;
  QWidget& anchor_;
  QPointer<QMenu> open_;
  std::string openName_;
};

struct OpenDialog {
  int id;
  std::string kind;  // "message", "open-file", "folder"
  std::string title, text;
  std::vector<std::string> buttons;  // the texts on them, left to right
  // File dialogs: the folder shown, the filter chosen, and every other text Qt
  // shows on the dialog (labels, column heads, places), for checking its language.
  std::string folder = {}, filter = {};
  std::vector<std::string> texts = {};
};

// The application object: pumping events and quitting.
class QtApplication final : public Application {
 public:
  explicit QtApplication(EventGate& gate) : gate_(gate) {}
  void PumpEvents() override;
  void Quit() override;

 private:
  EventGate& gate_;
};

// The program's icon: the window's, the tray's.
QIcon ProgramIcon();

// The desktop's "open": addresses in the user's browser, folders in the file manager.
class QtShell final : public Shell {
 public:
  bool OpenUrl(const std::string& address) override;
  bool OpenFolder(const std::string& path) override;
};

class QtDialogs : public Dialogs {
 public:
  explicit QtDialogs(QWidget* owner) : owner_(owner) {}
  Answer AskYesNo(const std::string& text, const std::string& title) override;
  void Inform(const std::string& text, const std::string& title) override;
  std::optional<std::string> OpenFile(const std::string& title, const std::string& filter,
                                      const std::string& initialFolder) override;
  std::optional<std::string> BrowseFolder(const std::string& title, const std::string& initialFolder) override;

  std::vector<OpenDialog> List() const;
  // value: yes, no, ok, cancel, or a path for the file and folder dialogs.
  bool Respond(int id, const std::string& value);

 private:
  struct Entry {
    OpenDialog info;
    QPointer<QDialog> dialog;
    std::optional<std::string> path;
  };
  int Register(OpenDialog info, QDialog* dialog);
  QWidget* Owner() const;
  std::optional<std::string> RunFileDialog(QFileDialog& dialog, const std::string& kind, const std::string& title);
  QWidget* owner_;
  int nextId_ = 1;
  std::map<int, Entry> open_;
};

// Fills a Qt menu with a menu of the menu form; a chosen item is handed on by name.
void FillMenu(QMenu& target, const menus::Menu& menu, QObject* context,
              const std::function<void(const std::string& item)>& picked);

// "desc|*.a;*.b|desc2|*.*" as a Qt file dialog filter list.
QString QtFileFilter(const std::string& filter);

}  // namespace tavlin::ui
