#include "ui/automation/automation_server.h"

#include "ui/player/mpv_video_window.h"

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLocalSocket>
#include <QScreen>
#include <QTimer>
#include <QToolTip>

#include "ui/player/mpv_video_window.h"
#include "ui/shell/main_window.h"
#include "ui/shell/text_metrics.h"

namespace tavlin::ui {

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

// The program's state as JSON fields.
class JsonState final : public state::StateVisitor {
 public:
  QJsonObject fields;
  void Field(std::string_view name, int value) override { fields[Key(name)] = value; }
  void Field(std::string_view name, const std::string& value) override { fields[Key(name)] = Q(value); }
  void Field(std::string_view name, const PixelRect& r) override {
    fields[Key(name)] = QJsonArray{r.x, r.y, r.x + r.w, r.y + r.h};
  }

 private:
  static QString Key(std::string_view name) {
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
  }
};

QJsonObject Error(const QString& message) { return {{"ok", false}, {"error", message}}; }

// A request's control index: none, a whole number, or a fault (a text or a
// fraction must not silently become index 0).
bool IndexOf(const QJsonObject& r, std::optional<int>& index) {
  const QJsonValue v = r.value("index");
  index.reset();
  if (v.isNull() || v.isUndefined()) return true;
  const double d = v.toDouble(-1.5);
  if (!v.isDouble() || d != static_cast<int>(d)) return false;
  index = static_cast<int>(d);
  return true;
}

// One request line at most: a client that never ends its line cannot fill memory.
constexpr qint64 kMaxRequestLine = 16 * 1024 * 1024;

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
    if (c->kind == forms::ControlKind::CheckBox) o["checked"] = c->checked;
    if (c->kind == forms::ControlKind::Label) {
      o["autoSize"] = c->autoSize;
      o["textWidth"] = TextWidth(c->caption, c->fontPixels);
    }
    if (c->frame.strip >= 0)
      o["frame"] = QJsonObject{{"strip", c->frame.strip}, {"x", c->frame.x}, {"w", c->frame.w}, {"h", c->frame.h}};
    else o["frame"] = QJsonValue();
    controls.append(o);
  }
  QJsonObject timers;
  for (const auto& t : f.timers())
    timers[QString::fromStdString(t->name())] = QJsonObject{{"enabled", t->enabled()}, {"interval", t->interval()}};
  return {{"controls", controls}, {"state", QJsonObject{}}, {"timers", timers}};
}

}  // namespace

AutomationServer::AutomationServer(AutomationTargets targets) : t_(targets) {
  connect(&server_, &QLocalServer::newConnection, this, [this] { OnConnection(); });
}

bool AutomationServer::Listen(const QString& path) {
  // Only a socket (a stale one of an earlier run) may be replaced: the path may name
  // any file, and listening there must not delete it.
  struct stat st {};
  const QByteArray native = QFile::encodeName(path);
  if (::lstat(native.constData(), &st) == 0 && !S_ISSOCK(st.st_mode)) return false;
  QLocalServer::removeServer(path);
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  return server_.listen(path);
}

void AutomationServer::OnConnection() {
  while (QLocalSocket* socket = server_.nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
      if (!socket->canReadLine() && socket->bytesAvailable() > kMaxRequestLine) {
        socket->write(QJsonDocument(Error("request line too long")).toJson(QJsonDocument::Compact) + "\n");
        socket->flush();
        socket->disconnectFromServer();
        return;
      }
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

QJsonObject AutomationServer::Handle(const QJsonObject& r) {
  static const std::map<QString, Operation> kOperations = {
      {"dump", &AutomationServer::Dump},
      {"power", &AutomationServer::Power},
      {"click", &AutomationServer::Click},
      {"dblclick", &AutomationServer::Click},
      {"mouse", &AutomationServer::Mouse},
      {"key", &AutomationServer::Key},
      {"link", &AutomationServer::Link},
      {"menu", &AutomationServer::Menu},
      {"dialogs", &AutomationServer::Dialogs},
      {"answer", &AutomationServer::Answer},
      {"tray", &AutomationServer::TrayClick},
      {"resize", &AutomationServer::Resize},
      {"screenshot", &AutomationServer::Screenshot},
      {"balloons", &AutomationServer::Balloons},
      {"loaded", &AutomationServer::Loaded},
      {"opened", &AutomationServer::Opened},
  };
  auto it = kOperations.find(r.value("op").toString());
  if (it == kOperations.end()) return Error("unknown op");
  return (this->*it->second)(r);
}

QJsonObject AutomationServer::Later(std::function<void()> action) {
  QTimer::singleShot(0, this, [this, action] { t_.window.Dispatch(action); });
  return {{"ok", true}};
}

QJsonObject AutomationServer::Dump(const QJsonObject&) {
  shell::BA1& f = t_.program.ba1();
  QJsonObject ba1 = DescribeForm(f);
  JsonState state;
  t_.program.DescribeState(state);
  ba1["state"] = state.fields;
  QJsonObject views;
  for (const auto& [name, view] : t_.window.views()) views[Q(name)] = Q(view->CurrentAddress());
  ba1["views"] = views;
  QJsonObject renderers;
  for (const auto& [name, view] : t_.window.views()) {
    renderers[Q(name)] =
        QJsonObject{{"pid", view->rendererPid()}, {"gaveUp", view->gaveUp()}, {"notice", view->failureShown()}};
  }
  ba1["renderers"] = renderers;
  QJsonObject navigations;
  for (const auto& [name, texts] : t_.recorder.navigations()) {
    QJsonArray list;
    for (const auto& text : texts) list.append(Q(text));
    navigations[Q(name)] = list;
  }
  ba1["navigations"] = navigations;
  FormWidget& w = t_.window.widget();
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
                              {"skin", f.LoadedSkin},
                              {"toolTip", QToolTip::isVisible() ? QToolTip::text() : QString()}};
  menus::Tip& tipForm = t_.program.tip();
  QJsonObject tip = DescribeForm(tipForm);
  QJsonObject menus;
  for (const auto& m : tipForm.menus) {
    QJsonArray items;
    for (const auto& i : m.items)
      items.append(QJsonObject{{"name", Q(i.name)}, {"caption", Q(i.caption)}, {"checked", i.checked}});
    menus[Q(m.name)] = items;
  }
  tip["menus"] = menus;
  tip["openMenu"] = Q(t_.ports.menus.openMenu());
  QJsonObject tray{{"installed", f.trayIcon.installed()},
                   {"tooltip", Q(f.trayIcon.tooltip())},
                   {"available", QSystemTrayIcon::isSystemTrayAvailable()},
                   {"qtVisible", t_.ports.tray.icon().isVisible()}};
  const QRect icon = t_.ports.tray.icon().geometry();
  tray["geometry"] = QJsonArray{icon.x(), icon.y(), icon.width(), icon.height()};
  tray["menuOpen"] = t_.ports.tray.menu() && t_.ports.tray.menu()->isVisible();
  tip["window"] = DescribeWindow(FormNamed("tip"));
  tip["loaded"] = tipForm.loaded();
  tip["page"] = tipForm.PageCounter;
  settings::BA3& ba3Form = t_.program.ba3();
  QJsonObject ba3 = DescribeForm(ba3Form);
  ba3["window"] = DescribeWindow(FormNamed("BA3"));
  ba3["loaded"] = ba3Form.loaded();
  ba3["state"] = QJsonObject{
      {"IniPath", Q(ba3Form.IniPath)}, {"QvodFolder", Q(ba3Form.QvodFolder)}, {"SavePath", Q(ba3Form.SavePath)}};
  ad::Adsb& adForm = t_.program.adsb();
  QJsonObject adsb = DescribeForm(adForm);
  adsb["window"] = DescribeWindow(FormNamed("adsb"));
  adsb["formLoaded"] = adForm.loaded();
  adsb["state"] = QJsonObject{
      {"MovingEdge", adForm.MovingEdge}, {"CloseCounter", adForm.CloseCounter}, {"closing", adForm.closing()}};
  if (const WebView* view = t_.adWindow.view()) {
    adsb["views"] = QJsonObject{{"Web1", Q(view->CurrentAddress())}};
    adsb["loaded"] = QJsonObject{{"Web1", view->loaded()}};
  }
  QJsonObject answer{
      {"ok", true}, {"forms", QJsonObject{{"BA1", ba1}, {"tip", tip}, {"BA3", ba3}, {"adsb", adsb}}}, {"tray", tray}};
  if (const MpvPlayerControl* p = t_.player) {
    answer["player"] = QJsonObject{{"Url", Q(p->Url())},
                                   {"PlayState", p->PlayState()},
                                   {"Position", p->Position()},
                                   {"Duration", p->Duration()},
                                   {"Volume", p->Volume()},
                                   {"Mute", p->Mute()},
                                   {"FullScreen", p->FullScreen()},
                                   {"DownloadSpeed", p->DownloadSpeed()},
                                   {"BitRate", p->BitRate()},
                                   {"DownloadProgress", p->DownloadProgress()},
                                   // What mpv was given: a file on disk, or a download
                                   // still arriving ("appending://").
                                   {"Opened", p->OpenedPath()},
                                   {"FramesDrawn", p->VideoView() ? p->VideoView()->FramesDrawn() : 0}};
  }
  return answer;
}

AutomationServer::FormTarget AutomationServer::FormNamed(const QString& name) {
  if (name == "BA1") return {&t_.program.ba1(), &t_.window.widget(), &t_.program.input()};
  if (name == "BA3") return {&t_.program.ba3(), &t_.dialogWindows.settings(), &t_.program.ba3().input};
  if (name == "tip") return {&t_.program.tip(), &t_.dialogWindows.help(), &t_.program.tip().input};
  if (name == "adsb") return {&t_.program.adsb(), &t_.adWindow.widget(), &t_.program.adsb().input};
  return {};
}

QJsonObject AutomationServer::DescribeWindow(const FormTarget& target) const {
  const forms::WindowData& win = target.form->window;
  const FormWidget& w = *target.widget;
  QJsonValue region;
  if (win.region) region = QJsonArray{win.region->x, win.region->y, win.region->w, win.region->h};
  const QRect mask = w.mask().boundingRect();
  return {{"visible", win.visible},
          {"qtVisible", w.isVisible()},
          {"x", w.x()},
          {"y", w.y()},
          {"w", w.width()},
          {"h", w.height()},
          {"title", w.windowTitle()},
          {"topmost", w.windowFlags().testFlag(Qt::WindowStaysOnTopHint)},
          {"region", region},
          {"qtMask", w.mask().isEmpty() ? QJsonValue()
                                        : QJsonValue(QJsonArray{mask.x(), mask.y(), mask.width(), mask.height()})}};
}

QJsonObject AutomationServer::Power(const QJsonObject&) {
  QJsonArray calls;
  for (bool force : t_.power.calls) calls.append(QJsonObject{{"force", force}});
  return {{"ok", true}, {"calls", calls}};
}

QJsonObject AutomationServer::Click(const QJsonObject& r) {
  using forms::InputEvent;
  const QString formName = r.value("form").toString("BA1");
  const std::string control = r.value("control").toString().toStdString();
  std::optional<int> index;
  if (!IndexOf(r, index)) return Error("index must be a whole number");
  if (formName != "BA1") {
    const FormTarget target = FormNamed(formName);
    if (!target.form) return Error("unknown form");
    if (!target.form->Find(control, index)) return Error("unknown control");
    forms::ControlRouter* router = target.router;
    return Later([router, control, index] {
      router->Raise(InputEvent::OnControl(InputEvent::Click, {control, index}, forms::kLeftButton));
    });
  }
  if (control != "BA1" && !t_.program.ba1().Find(control, index)) return Error("unknown control");
  const bool dbl = r.value("op").toString() == "dblclick";
  MainWindow& w = t_.window;
  return Later([&w, control, index, dbl] {
    auto& router = w;
    if (control == "BA1") {
      if (dbl) router.Raise(InputEvent::OnForm(InputEvent::DblClick, forms::kLeftButton));
      return;
    }
    const forms::ControlKey key{control, index};
    router.Raise(InputEvent::OnControl(InputEvent::Click, key, forms::kLeftButton));
    if (!dbl) return;
    // A tab takes the second click of a double click as another click.
    const InputEvent::Kind second = control == "npc" ? InputEvent::Click : InputEvent::DblClick;
    router.Raise(InputEvent::OnControl(second, key, forms::kLeftButton));
  });
}

QJsonObject AutomationServer::Mouse(const QJsonObject& r) {
  using forms::InputEvent;
  const std::string control = r.value("control").toString().toStdString();
  std::optional<int> index;
  if (!IndexOf(r, index)) return Error("index must be a whole number");
  const QString kind = r.value("kind").toString();
  const InputEvent::Kind k = kind == "down" ? InputEvent::MouseDown
                             : kind == "up" ? InputEvent::MouseUp
                                            : InputEvent::MouseMove;
  const int x = r.value("x").toInt(), y = r.value("y").toInt(), button = ButtonOf(r);
  const bool onForm = control.empty() || control == "BA1";
  if (!onForm && !t_.program.ba1().Find(control, index)) return Error("unknown control");
  MainWindow& w = t_.window;
  return Later([&w, onForm, control, index, k, x, y, button] {
    if (!onForm) {
      w.Raise(InputEvent::OnControl(k, {control, index}, button, x, y));
      return;
    }
    w.Raise(InputEvent::OnForm(k, button, x, y));
    // No window system moves the window for a request: the move ends with the release.
    if (k == InputEvent::MouseUp) w.Raise(InputEvent::OnForm(InputEvent::MoveResizeEnded));
  });
}

QJsonObject AutomationServer::Key(const QJsonObject& r) {
  const int code = r.value("code").toInt();
  MainWindow& w = t_.window;
  return Later([&w, code] { w.Raise(forms::InputEvent::Key(code)); });
}

QJsonObject AutomationServer::Link(const QJsonObject& r) {
  auto it = t_.window.views().find(r.value("view").toString().toStdString());
  if (it == t_.window.views().end()) return Error("unknown view");
  WebView* view = it->second;
  const std::string href = r.value("href").toString().toStdString();
  return Later([view, href] { view->FollowLink(href, ""); });
}

QJsonObject AutomationServer::Menu(const QJsonObject& r) {
  const std::string item = r.value("item").toString().toStdString();
  if (!t_.program.tip().FindItem(item)) return Error("unknown menu item");
  t_.ports.menus.CloseOpen();
  Program& program = t_.program;
  return Later([&program, item] { program.tip().ItemClick(item); });
}

QJsonObject AutomationServer::Dialogs(const QJsonObject&) {
  QJsonArray list;
  for (const auto& d : t_.ports.dialogs.List()) {
    QJsonArray buttons;
    for (const auto& b : d.buttons) buttons.append(Q(b));
    QJsonArray texts;
    for (const auto& t : d.texts) texts.append(Q(t));
    list.append(QJsonObject{{"id", d.id},
                            {"kind", Q(d.kind)},
                            {"title", Q(d.title)},
                            {"text", Q(d.text)},
                            {"buttons", buttons},
                            {"folder", Q(d.folder)},
                            {"filter", Q(d.filter)},
                            {"texts", texts}});
  }
  return {{"ok", true}, {"dialogs", list}};
}

QJsonObject AutomationServer::Answer(const QJsonObject& r) {
  const bool done = t_.ports.dialogs.Respond(r.value("id").toInt(), r.value("value").toString().toStdString());
  return done ? QJsonObject{{"ok", true}} : Error("no such dialog");
}

QJsonObject AutomationServer::TrayClick(const QJsonObject& r) {
  const int button = ButtonOf(r);
  Program& program = t_.program;
  return Later([&program, button] { program.ba1().trayIcon.OnClick(button); });
}

QJsonObject AutomationServer::Resize(const QJsonObject& r) {
  t_.window.widget().resize(r.value("w").toInt(), r.value("h").toInt());
  return {{"ok", true}};
}

QJsonObject AutomationServer::Screenshot(const QJsonObject& r) {
  const QString path = r.value("path").toString();
  const FormTarget target = FormNamed(r.value("form").toString("BA1"));
  if (!target.widget) return Error("unknown form");
  FormWidget& w = *target.widget;
  QPixmap shot;
  if (QScreen* s = w.screen(); s && w.isVisible()) shot = s->grabWindow(0, w.x(), w.y(), w.width(), w.height());
  if (shot.isNull()) shot = w.grab();
  return shot.save(path, "PNG") ? QJsonObject{{"ok", true}, {"path", path}} : Error("cannot write " + path);
}

QJsonObject AutomationServer::Balloons(const QJsonObject&) {
  QJsonArray list;
  for (const auto& b : t_.recorder.balloons()) list.append(Q(b));
  return {{"ok", true}, {"balloons", list}};
}

QJsonObject AutomationServer::Opened(const QJsonObject&) {
  QJsonArray list;
  for (const auto& address : t_.recorder.opened()) list.append(Q(address));
  return {{"ok", true}, {"opened", list}};
}

QJsonObject AutomationServer::Loaded(const QJsonObject&) {
  QJsonObject loaded;
  for (const auto& [name, view] : t_.window.views()) loaded[Q(name)] = view->loaded();
  return {{"ok", true}, {"loaded", loaded}};
}

}  // namespace tavlin::ui
