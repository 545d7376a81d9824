#include "ui/ad/ad_window.h"

#include <QEvent>
#include <QGuiApplication>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace tavlin::ui {

namespace {

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
  xcb_intern_atom_reply_t* reply =
      xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(strlen(name)), name), nullptr);
  const xcb_atom_t atom = reply ? reply->atom : XCB_ATOM_NONE;
  free(reply);
  return atom;
}

}  // namespace

bool AdWindow::eventFilter(QObject* watched, QEvent* event) {
  // Qt keeps states it does not know of when it maps the window, and a window
  // manager drops them all when it is unmapped: they go on before every show.
  if (event->type() == QEvent::Show && watched == widget_.get()) KeepOffTaskBar();
  return false;
}

void AdWindow::KeepOffTaskBar() {
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (!x11 || !x11->connection()) return;  // elsewhere the tool window type has to do
  xcb_connection_t* c = x11->connection();
  const xcb_atom_t state = Atom(c, "_NET_WM_STATE");
  const xcb_atom_t skip[] = {Atom(c, "_NET_WM_STATE_SKIP_TASKBAR"), Atom(c, "_NET_WM_STATE_SKIP_PAGER")};
  if (state == XCB_ATOM_NONE || skip[0] == XCB_ATOM_NONE || skip[1] == XCB_ATOM_NONE) return;
  xcb_change_property(c, XCB_PROP_MODE_APPEND, static_cast<xcb_window_t>(widget_->winId()), state, XCB_ATOM_ATOM, 32, 2,
                      skip);
  xcb_flush(c);
}

AdWindow::AdWindow(Program& program, MainWindow& window, const SkinStrips& strips, SharedProfile& profile)
    : events_(std::make_unique<DispatchedEvents>(window, program.adsb())), input_(window, program.adsb().input) {
  widget_ = std::make_unique<FormWidget>(strips);
  // A tool window: fixed in size (below), floated by tiling window managers, and
  // listed in no task bar or window switcher (KeepOffTaskBar).
  widget_->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus);
  widget_->setAttribute(Qt::WA_ShowWithoutActivating);
  widget_->SetPlacedByForm(true);
  widget_->setWindowTitle(QStringLiteral("adsb"));
  widget_->Build(program.adsb(), input_, [&](forms::Control& c, QWidget* parent) -> QWidget* {
    if (c.kind != forms::ControlKind::WebView) return nullptr;
    view_ = new WebView("adsb.Web1", profile, *events_, false, parent);
    events_->Serve(view_->name(), *view_);
    return view_;
  });
  widget_->setFixedSize(program.adsb().window.w, program.adsb().window.h);
  if (view_) program.adsb().AttachView(*view_);
  window.AddFormWidget(*widget_);
  widget_->installEventFilter(this);
}

AdWindow::~AdWindow() {
  // The view reports to events_, which goes with this object.
  widget_.reset();
}

}  // namespace tavlin::ui
