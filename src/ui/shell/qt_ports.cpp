#include "ui/shell/qt_ports.h"

#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QTreeView>
#include <QDir>
#include <QFileInfo>
#include <QFileDialog>
#include <QKeyEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTextDocument>
#include <QUrl>
#include <algorithm>

namespace tavlin::ui {

PixelRect QtScreen::WorkArea() {
  const QRect r = QGuiApplication::primaryScreen()->availableGeometry();
  return {r.x(), r.y(), r.width(), r.height()};
}
int QtScreen::ScreenWidth() { return QGuiApplication::primaryScreen()->geometry().width(); }
int QtScreen::ScreenHeight() { return QGuiApplication::primaryScreen()->geometry().height(); }
bool QtScreen::PlacesWindows() { return !QGuiApplication::platformName().startsWith("wayland"); }

void QtApplication::PumpEvents() { gate_.Pump(); }
// exit() rather than quit(): quit() first asks every window to close, and the main
// window answers a close request with its close button and its question.
void QtApplication::Quit() { QCoreApplication::exit(0); }

QIcon ProgramIcon() {
  QPixmap icon(QStringLiteral(":/skins/icon.png"));
  if (!icon.isNull()) return QIcon(icon);
  QPixmap p(32, 32);
  p.fill(QColor(0, 90, 170));
  return QIcon(p);
}

QtTray::QtTray(QIcon icon) : icon_(icon), notifications_(icon) {
  connect(&icon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
    if (!clicked) return;
    if (r == QSystemTrayIcon::Trigger) clicked(1);
    // With a menu of its own the icon shows it: a second one would follow.
    if (r == QSystemTrayIcon::Context && !menu_) clicked(2);
  });
}

void QtTray::SetMenu(const menus::Menu& menu, std::function<void(const std::string& item)> picked) {
  auto m = std::make_unique<QMenu>();
  FillMenu(*m, menu, this, picked);
  icon_.setContextMenu(m.get());
  menu_ = std::move(m);
}

void QtTray::Add(const std::string& tooltip) {
  icon_.setToolTip(QString::fromStdString(tooltip));
  icon_.show();
}

namespace {
constexpr int kBalloonMilliseconds = 8000;
}  // namespace

bool QtTray::Available() { return QSystemTrayIcon::isSystemTrayAvailable(); }

void QtTray::ShowBalloon(const std::string& title, const std::string& text, const std::string& tooltip) {
  icon_.setToolTip(QString::fromStdString(tooltip));
  if (Available() && !DesktopNotifications::ServiceAvailable()) {
    icon_.showMessage(QString::fromStdString(title), QString::fromStdString(text), QSystemTrayIcon::Information,
                      kBalloonMilliseconds);
    return;
  }
  notifications_.Show(QString::fromStdString(title), QString::fromStdString(text));
}

void QtTray::Remove() { icon_.hide(); }

void QtMenus::Show(const std::string& name, const QPoint& global) {
  const std::optional<menus::Menu> menu = tip_ ? tip_->MenuAsShown(name) : std::nullopt;
  if (!menu) return;
  CloseOpen();
  auto* m = new QMenu(&anchor_);
  m->setAttribute(Qt::WA_DeleteOnClose);
  FillMenu(*m, *menu, this, [this](const std::string& item) {
    if (picked) picked(item);
  });
  open_ = m;
  openName_ = name;
  m->popup(global);
}

void QtMenus::Popup(const std::string& menu, int x, int y) { Show(menu, anchor_.mapToGlobal(QPoint(x, y))); }
void QtMenus::PopupAtPointer(const std::string& menu) { Show(menu, QCursor::pos()); }

void QtMenus::CloseOpen() {
  if (open_) open_->close();
  open_ = nullptr;
}

void FillMenu(QMenu& target, const menus::Menu& menu, QObject* context,
              const std::function<void(const std::string& item)>& picked) {
  for (const auto& item : menu.items) {
    if (item.caption == "-") {
      target.addSeparator();
      continue;
    }
    QAction* a = target.addAction(QString::fromStdString(item.caption));
    a->setObjectName(QString::fromStdString(item.name));
    if (item.checked) {
      a->setCheckable(true);
      a->setChecked(true);
    }
    a->setEnabled(item.enabled);
    const std::string itemName = item.name;
    QObject::connect(a, &QAction::triggered, context, [picked, itemName] { picked(itemName); });
  }
}

QString QtFileFilter(const std::string& filter) {
  const QStringList parts = QString::fromStdString(filter).split('|');
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    // "*.*" meant every file; on Linux many have no extension at all.
    QStringList patterns = parts[i + 1].split(';');
    for (QString& p : patterns) {
      if (p == "*.*") p = "*";
    }
    out << parts[i] + " (" + patterns.join(' ') + ")";
  }
  return out.join(";;");
}

namespace {

// Without a Qt translation loaded the standard buttons read "Yes", "OK"... in the
// middle of a Chinese interface.
void UseChineseButtons(QMessageBox& box) {
  const std::pair<QMessageBox::StandardButton, const char*> texts[] = {
      {QMessageBox::Yes, "是"}, {QMessageBox::No, "否"}, {QMessageBox::Ok, "确定"}, {QMessageBox::Cancel, "取消"}};
  for (const auto& [which, text] : texts) {
    if (QAbstractButton* button = box.button(which)) button->setText(QString::fromUtf8(text));
  }
}

void UseChineseLabels(QFileDialog& dialog, const char* accept, const char* name) {
  dialog.setLabelText(QFileDialog::Accept, QString::fromUtf8(accept));
  dialog.setLabelText(QFileDialog::Reject, QStringLiteral("取消"));
  dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("查找范围："));
  dialog.setLabelText(QFileDialog::FileName, QString::fromUtf8(name));
  dialog.setLabelText(QFileDialog::FileType, QStringLiteral("文件类型："));
}

// The buttons of a dialog as the user sees them: their texts left to right, without
// the mnemonic marks. Empty for a dialog the desktop draws itself.
std::vector<std::string> ShownButtons(const QDialog& dialog) {
  const QDialogButtonBox* buttonBox = dialog.findChild<QDialogButtonBox*>();
  if (!buttonBox) return {};
  std::vector<const QAbstractButton*> shown;
  for (const QAbstractButton* b : buttonBox->buttons()) {
    if (b->isVisibleTo(&dialog)) shown.push_back(b);
  }
  std::stable_sort(shown.begin(), shown.end(), [&](const QAbstractButton* a, const QAbstractButton* b) {
    return a->mapTo(&dialog, QPoint()).x() < b->mapTo(&dialog, QPoint()).x();
  });
  std::vector<std::string> out;
  for (const QAbstractButton* b : shown) {
    QString text = b->text();
    text.replace(QRegularExpression(QStringLiteral("&(.)")), QStringLiteral("\\1"));
    out.push_back(text.toStdString());
  }
  return out;
}

// What a file dialog shows besides its buttons.
void DescribeFileDialog(const QFileDialog& dialog, OpenDialog& info) {
  info.folder = dialog.directory().absolutePath().toStdString();
  info.filter = dialog.selectedNameFilter().toStdString();
  for (const QLabel* label : dialog.findChildren<QLabel*>()) {
    if (label->isVisibleTo(&dialog) && !label->text().isEmpty()) info.texts.push_back(label->text().toStdString());
  }
  for (const QHeaderView* header : dialog.findChildren<QHeaderView*>()) {
    if (!header->isVisibleTo(&dialog) || !header->model()) continue;
    for (int i = 0; i < header->count(); ++i) {
      if (header->isSectionHidden(i)) continue;
      info.texts.push_back(header->model()->headerData(i, header->orientation()).toString().toStdString());
    }
  }
  // The kinds of the entries listed (column 2 of the file list).
  for (const QTreeView* list : dialog.findChildren<QTreeView*>(QStringLiteral("treeView"))) {
    const QAbstractItemModel* model = list->model();
    for (int i = 0; model && i < model->rowCount(list->rootIndex()); ++i) {
      info.texts.push_back(model->index(i, 2, list->rootIndex()).data().toString().toStdString());
    }
  }
  for (const QListView* places : dialog.findChildren<QListView*>(QStringLiteral("sidebar"))) {
    for (int i = 0; places->model() && i < places->model()->rowCount(); ++i) {
      info.texts.push_back(places->model()->index(i, 0).data().toString().toStdString());
    }
  }
}

// The text of a message box as it reads on screen: what its label makes of the text
// given, markup and all. Empty for other dialogs.
std::optional<std::string> ShownText(const QDialog& dialog) {
  const auto* label = dialog.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
  if (!label) return std::nullopt;
  const Qt::TextFormat format = label->textFormat();
  if (format == Qt::PlainText || (format == Qt::AutoText && !Qt::mightBeRichText(label->text()))) {
    return label->text().toStdString();
  }
  QTextDocument rendered;
  rendered.setHtml(label->text());
  return rendered.toPlainText().toStdString();
}

}  // namespace

QWidget* QtDialogs::Owner() const {
  // A dialog opened from one of the program's own windows (the settings dialog's
  // folder picker) belongs to that window, so that it comes back on top afterwards.
  QWidget* active = QApplication::activeWindow();
  if (owner_ && active && active->isVisible() && (active == owner_ || active->parentWidget() == owner_)) return active;
  return owner_;
}

int QtDialogs::Register(OpenDialog info, QDialog* dialog) {
  const int id = nextId_++;
  info.id = id;
  open_[id] = Entry{std::move(info), dialog, std::nullopt};
  return id;
}

namespace {

// QMessageBox takes Esc and its window's close button for its No; a question the
// user waved away has no answer.
class QuestionBox : public QMessageBox {
 public:
  using QMessageBox::QMessageBox;
  bool dismissed = false;

 protected:
  void keyPressEvent(QKeyEvent* e) override {
    if (!e->matches(QKeySequence::Cancel)) return QMessageBox::keyPressEvent(e);
    dismissed = true;
    reject();
  }
  void closeEvent(QCloseEvent* e) override {
    dismissed = true;
    QMessageBox::closeEvent(e);
  }
};

}  // namespace

Answer QtDialogs::AskYesNo(const std::string& text, const std::string& title) {
  QuestionBox box(QMessageBox::Question, QString::fromStdString(title), QString::fromStdString(text),
                  QMessageBox::Yes | QMessageBox::No, Owner());
  // The text may carry a page's or the portal's words: never markup, never a link.
  box.setTextFormat(Qt::PlainText);
  UseChineseButtons(box);
  const int id = Register({0, "message", title, text, {}}, &box);
  const int result = box.exec();
  open_.erase(id);
  if (box.dismissed) return Answer::Cancel;
  return result == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

void QtDialogs::Inform(const std::string& text, const std::string& title) {
  QMessageBox box(QMessageBox::Information, QString::fromStdString(title), QString::fromStdString(text),
                  QMessageBox::Ok, Owner());
  // The text may carry a page's or the portal's words: never markup, never a link.
  box.setTextFormat(Qt::PlainText);
  UseChineseButtons(box);
  const int id = Register({0, "message", title, text, {}}, &box);
  box.exec();
  open_.erase(id);
}

bool QtShell::OpenUrl(const std::string& address) {
  const QUrl url(QString::fromStdString(address));
  // Addresses may come from the portal: only web pages are handed to the desktop.
  if (url.scheme() != "http" && url.scheme() != "https") return false;
  return QDesktopServices::openUrl(url);
}

bool QtShell::OpenFolder(const std::string& path) {
  return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

std::optional<std::string> QtDialogs::RunFileDialog(QFileDialog& dialog, const std::string& kind,
                                                    const std::string& title) {
  const int id = Register({0, kind, title, "", {dialog.labelText(QFileDialog::Accept).toStdString(), "取消"}}, &dialog);
  const bool ok = dialog.exec() == QDialog::Accepted;
  auto chosen = open_[id].path;  // an answer given through automation wins
  open_.erase(id);
  if (chosen) return chosen->empty() ? std::nullopt : chosen;
  if (!ok || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front().toStdString();
}

std::optional<std::string> QtDialogs::OpenFile(const std::string& title, const std::string& filter,
                                               const std::string& initialFolder) {
  const QString folder = QString::fromStdString(initialFolder);
  QFileDialog dialog(Owner(), QString::fromStdString(title),
                     !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QDir::homePath());
  // Qt's own dialog everywhere: it speaks the program's language (the desktop's
  // speaks the desktop's) and behaves the same on every desktop.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setNameFilter(QtFileFilter(filter));
  dialog.setFileMode(QFileDialog::ExistingFile);
  UseChineseLabels(dialog, "打开", "文件名：");
  return RunFileDialog(dialog, "open-file", title);
}

std::optional<std::string> QtDialogs::BrowseFolder(const std::string& title, const std::string& initialFolder) {
  QFileDialog dialog(Owner(), QString::fromStdString(title), QString::fromStdString(initialFolder));
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  UseChineseLabels(dialog, "选择", "文件夹：");
  return RunFileDialog(dialog, "folder", title);
}

std::vector<OpenDialog> QtDialogs::List() const {
  std::vector<OpenDialog> out;
  for (const auto& [id, e] : open_) {
    out.push_back(e.info);
    if (!e.dialog) continue;
    if (std::vector<std::string> shown = ShownButtons(*e.dialog); !shown.empty()) out.back().buttons = std::move(shown);
    if (auto* files = qobject_cast<QFileDialog*>(e.dialog.data())) DescribeFileDialog(*files, out.back());
    if (std::optional<std::string> text = ShownText(*e.dialog)) out.back().text = std::move(*text);
  }
  return out;
}

bool QtDialogs::Respond(int id, const std::string& value) {
  auto it = open_.find(id);
  if (it == open_.end() || !it->second.dialog) return false;
  QDialog* d = it->second.dialog;
  if (auto* box = qobject_cast<QMessageBox*>(d)) {
    QMessageBox::StandardButton b = value == "yes"  ? QMessageBox::Yes
                                    : value == "no" ? QMessageBox::No
                                    : value == "ok" ? QMessageBox::Ok
                                                    : QMessageBox::Cancel;
    if (QAbstractButton* button = box->button(b)) {
      button->click();
      return true;
    }
    // A question without a Cancel button is cancelled as its close button does.
    if (value != "cancel") return false;
    box->close();
    return true;
  }
  // done() rather than accept(): a file dialog's accept() insists on a file picked
  // in its own view and would ignore the answer.
  if (value == "cancel") {
    it->second.path = "";
    d->done(QDialog::Rejected);
  } else {
    it->second.path = value == "ok" ? std::string() : value;
    d->done(QDialog::Accepted);
  }
  return true;
}

}  // namespace tavlin::ui
