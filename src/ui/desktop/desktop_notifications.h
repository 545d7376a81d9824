#pragma once
// The program's balloons as the desktop's notifications
// (org.freedesktop.Notifications): each one replaces the program's previous one
// instead of piling up, carries the program's icon and desktop entry, and its text
// goes out escaped, since notification daemons read the body as markup.
#include <QIcon>
#include <QObject>
#include <QString>
#include <optional>
#include <utility>

#include "core/base/program_folder.h"

namespace tavlin::ui {

// The desktop entry's name without ".desktop", as the hints name it.
inline constexpr const char* kDesktopEntry = kApplicationId;
// The icon's name in the icon theme, as the desktop entry gives it.
inline constexpr const char* kIconName = "tavlin";

class DesktopNotifications final : public QObject {
 public:
  explicit DesktopNotifications(QIcon icon) : icon_(std::move(icon)) {}
  // Whether a notification service runs on the session bus, or would be started.
  static bool ServiceAvailable();
  // Sent without waiting; with no service nobody sees it.
  void Show(const QString& title, const QString& text);
  // The body as markup: the text shows as it is.
  static QString EscapeBody(const QString& text);

 private:
  void Send(const QString& title, const QString& text);

  QIcon icon_;
  uint lastId_ = 0;
  bool asking_ = false;  // a Notify is on its way: its id is not known yet
  std::optional<std::pair<QString, QString>> waiting_;
};

}  // namespace tavlin::ui
