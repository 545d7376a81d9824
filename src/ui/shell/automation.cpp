#include "ui/shell/automation.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLocalSocket>
#include <QScreen>
#include <QTimer>

#include "ui/shell/main_window.h"

namespace tavlin::ui {

namespace {

QJsonValue JsonLiteral(const std::string& text) {
  const QJsonDocument doc = QJsonDocument::fromJson(QByteArray("[") + text.c_str() + "]");
  return doc.array().isEmpty() ? QJsonValue() : doc.array().at(0);
}

QJsonObject Error(const QString& message) { return {{"ok", false}, {"error", message}}; }

std::optional<int> IndexOf(const QJsonObject& r) {
  const QJsonValue v = r.value("index");
  if (v.isNull() || v.isUndefined()) return std::nullopt;
  return v.toInt();
}

int ButtonOf(const QJsonObject& r) {
  const QString b = r.value("button").toString();
  return b == "left" ? 1 : b == "right" ? 2 : 0;
}

QJsonObject DescribeForm(const forms::Form& f) {
  QJsonArray controls;
  for (const auto& c : f.controls()) {
    int x = 0, y = 0;
    f.AbsolutePosition(*c, x, y);
    QJsonObject o{{"name", QString::fromStdString(c->key.name)},
                  {"index", c->key.index ? QJsonValue(*c->key.index) : QJsonValue()},
                  {"visible", c->visible},
                  {"shown", f.Shown(*c)},
                  {"enabled", c->enabled},
                  {"caption", QString::fromStdString(c->caption)},
                  {"tooltip", QString::fromStdString(c->tooltip)},
                  {"x", x},
                  {"y", y},
                  {"w", c->w},
                  {"h", c->h},
                  {"fore", QString::fromStdString(c->fore.Hex())},
                  {"back", c->back ? QJsonValue(QString::fromStdString(c->back->Hex())) : QJsonValue()}};
    if (c->frame.strip >= 0)
      o["frame"] = QJsonObject{{"strip", c->frame.strip}, {"x", c->frame.x}, {"w", c->frame.w}, {"h", c->frame.h}};
    else
      o["frame"] = QJsonValue();
    controls.append(o);
  }
  std::vector<std::pair<std::string, std::string>> state;
  f.DescribeState(state);
  QJsonObject st;
  for (const auto& [k, v] : state) st[QString::fromStdString(k)] = JsonLiteral(v);
  QJsonObject timers;
  for (const auto& t : f.timers())
    timers[QString::fromStdString(t->name())] = QJsonObject{{"enabled", t->enabled()}, {"interval", t->interval()}};
  return {{"controls", controls}, {"state", st}, {"timers", timers}};
}

}  // namespace

AutomationServer::AutomationServer(MainWindow& window, const RecordingPower& power)
    : window_(window), power_(power) {
  connect(&server_, &QLocalServer::newConnection, this, [this] { OnConnection(); });
}

bool AutomationServer::Listen(const QString& path) {
  QLocalServer::removeServer(path);
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  return server_.listen(path);
}

void AutomationServer::OnConnection() {
  while (QLocalSocket* socket = server_.nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
      while (socket->canReadLine()) {
        const QByteArray line = socket->readLine().trimmed();
        if (line.isEmpty()) continue;
        QJsonParseError err;
        const QJsonDocument doc = QJsonDocument::fromJson(line, &err);
        const QJsonObject answer = doc.isObject() ? Handle(doc.object()) : Error("not a JSON object");
        socket->write(QJsonDocument(answer).toJson(QJsonDocument::Compact) + "\n");
        socket->flush();
      }
    });
  }
}

QJsonObject AutomationServer::Dump() {
  auto& f = window_.ba1();
  QJsonObject ba1 = DescribeForm(f);
  QJsonObject views;
  for (const auto& [name, view] : window_.views())
    views[QString::fromStdString(name)] = QString::fromStdString(view->CurrentAddress());
  ba1["views"] = views;
  QJsonObject navigations;
  for (const auto& [name, texts] : f.navigationLog()) {
    QJsonArray list;
    for (const auto& t : texts) list.append(QString::fromStdString(t));
    navigations[QString::fromStdString(name)] = list;
  }
  ba1["navigations"] = navigations;
  FormWidget& w = window_.widget();
  ba1["window"] = QJsonObject{{"x", w.x()},
                              {"y", w.y()},
                              {"w", f.window.w},
                              {"h", f.window.h},
                              {"qtW", w.width()},
                              {"qtH", w.height()},
                              {"maximized", f.Maximized()},
                              {"minimized", f.Minimized()},
                              {"visible", f.window.visible},
                              {"qtVisible", w.isVisible()},
                              {"topmost", f.window.topmost},
                              {"cursor", f.window.cursor},
                              {"qtCursor", static_cast<int>(w.cursor().shape())},
                              {"skin", window_.ba1().LoadedSkin}};
  QJsonObject tip = DescribeForm(window_.tip());
  QJsonObject menus;
  for (const auto& m : window_.tip().menus) {
    QJsonArray items;
    for (const auto& i : m.items)
      items.append(QJsonObject{{"name", QString::fromStdString(i.name)},
                               {"caption", QString::fromStdString(i.caption)},
                               {"checked", i.checked}});
    menus[QString::fromStdString(m.name)] = items;
  }
  tip["menus"] = menus;
  tip["openMenu"] = QString::fromStdString(window_.menus().openMenu());
  QJsonObject tray{{"installed", window_.trayIcon().installed()},
                   {"tooltip", QString::fromStdString(window_.trayIcon().tooltip())},
                   {"available", QSystemTrayIcon::isSystemTrayAvailable()},
                   {"qtVisible", window_.tray().icon().isVisible()}};
  QJsonObject answer{{"ok", true}, {"forms", QJsonObject{{"BA1", ba1}, {"tip", tip}}}, {"tray", tray}};
  if (const PlayerControl* p = f.ports.player) {
    answer["player"] = QJsonObject{{"Url", QString::fromStdString(p->Url())},
                                   {"PlayState", p->PlayState()},
                                   {"Position", p->Position()},
                                   {"Duration", p->Duration()},
                                   {"Volume", p->Volume()},
                                   {"Mute", p->Mute()},
                                   {"FullScreen", p->FullScreen()},
                                   {"DownloadSpeed", p->DownloadSpeed()},
                                   {"BitRate", p->BitRate()},
                                   {"DownloadProgress", p->DownloadProgress()}};
  }
  return answer;
}

QJsonObject AutomationServer::Handle(const QJsonObject& r) {
  const QString op = r.value("op").toString();
  auto& f = window_.ba1();
  const std::string control = r.value("control").toString().toStdString();
  const std::optional<int> index = IndexOf(r);

  // Actions that may open a modal dialog run after the answer has gone out, so the
  // client can list and answer the dialog meanwhile.
  auto later = [this](std::function<void()> fn) {
    QTimer::singleShot(0, this, [this, fn] { window_.Dispatch(fn); });
    return QJsonObject{{"ok", true}};
  };

  if (op == "dump") return Dump();
  if (op == "power") {
    QJsonArray calls;
    for (bool force : power_.calls) calls.append(QJsonObject{{"force", force}});
    return {{"ok", true}, {"calls", calls}};
  }
  if (op == "click" || op == "dblclick") {
    if (r.value("form").toString("BA1") != "BA1") return Error("unknown form");
    if (control != "BA1" && !f.Find(control, index)) return Error("unknown control");
    const bool dbl = op == "dblclick";
    // The same events a real click on the widget raises, so both take one path.
    auto& events = window_.widget().events;
    return later([&f, &events, control, index, dbl] {
      if (control == "BA1") {
        if (dbl) f.Form_DblClick();
        return;
      }
      const forms::ControlKey key{control, index};
      if (!f.C(control, index).enabled) return;
      if (events.controlClick) events.controlClick(key);
      if (dbl && control == "npc") events.controlClick(key);  // a tab takes the second click as a click
      else if (dbl && events.controlDblClick) events.controlDblClick(key);
    });
  }
  if (op == "mouse") {
    const std::string kind = r.value("kind").toString().toStdString();
    const int x = r.value("x").toInt(), y = r.value("y").toInt(), button = ButtonOf(r);
    if (control.empty() || control == "BA1") {
      return later([&f, kind, x, y, button] {
        if (kind == "down") f.Form_MouseDown(button, x, y);
        if (kind == "move") f.Form_MouseMove(button, x, y);
        if (kind == "up") {
          f.Form_MouseUp(button, x, y);
          f.SystemMoveResizeEnded();
        }
      });
    }
    if (!f.Find(control, index)) return Error("unknown control");
    auto& events = window_.widget().events;
    return later([&events, control, index, kind, x, y, button] {
      const forms::ControlKey key{control, index};
      if (kind == "down" && events.controlMouseDown) events.controlMouseDown(key, button, x, y);
      if (kind == "move" && events.controlMouseMove) events.controlMouseMove(key, button, x, y);
      if (kind == "up" && events.controlMouseUp) events.controlMouseUp(key, button, x, y);
    });
  }
  if (op == "key") {
    const int code = r.value("code").toInt();
    return later([&f, code] {
      if (f.hooks.keyDown) f.hooks.keyDown(code);
    });
  }
  if (op == "link") {
    const std::string view = r.value("view").toString().toStdString();
    auto it = window_.views().find(view);
    if (it == window_.views().end()) return Error("unknown view");
    WebView* v = it->second;
    const std::string href = r.value("href").toString().toStdString();
    return later([v, href] { v->FollowLink(href, ""); });
  }
  if (op == "menu") {
    const std::string item = r.value("item").toString().toStdString();
    if (!window_.tip().FindItem(item)) return Error("unknown menu item");
    window_.menus().CloseOpen();
    return later([this, item] { window_.tip().ItemClick(item); });
  }
  if (op == "dialogs") {
    QJsonArray list;
    for (const auto& d : window_.dialogs().List()) {
      QJsonArray buttons;
      for (const auto& b : d.buttons) buttons.append(QString::fromStdString(b));
      list.append(QJsonObject{{"id", d.id},
                              {"kind", QString::fromStdString(d.kind)},
                              {"title", QString::fromStdString(d.title)},
                              {"text", QString::fromStdString(d.text)},
                              {"buttons", buttons}});
    }
    return {{"ok", true}, {"dialogs", list}};
  }
  if (op == "answer") {
    const bool done = window_.dialogs().Respond(r.value("id").toInt(), r.value("value").toString().toStdString());
    return done ? QJsonObject{{"ok", true}} : Error("no such dialog");
  }
  if (op == "tray") {
    const int button = ButtonOf(r);
    return later([this, button] { window_.trayIcon().OnClick(button); });
  }
  if (op == "resize") {
    window_.widget().resize(r.value("w").toInt(), r.value("h").toInt());
    return {{"ok", true}};
  }
  if (op == "screenshot") {
    const QString path = r.value("path").toString();
    FormWidget& w = window_.widget();
    QPixmap shot;
    if (QScreen* s = w.screen(); s && w.isVisible()) shot = s->grabWindow(0, w.x(), w.y(), w.width(), w.height());
    if (shot.isNull()) shot = w.grab();
    return shot.save(path, "PNG") ? QJsonObject{{"ok", true}, {"path", path}} : Error("cannot write " + path);
  }
  if (op == "balloons") {
    QJsonArray list;
    for (const auto& b : window_.trayIcon().balloons()) list.append(QString::fromStdString(b));
    return {{"ok", true}, {"balloons", list}};
  }
  if (op == "loaded") {
    QJsonObject loaded;
    for (const auto& [name, view] : window_.views()) loaded[QString::fromStdString(name)] = view->loaded();
    return {{"ok", true}, {"loaded", loaded}};
  }
  return Error("unknown op");
}

}  // namespace tavlin::ui
