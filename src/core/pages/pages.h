#pragma once
// What the views' pages do besides their command links: right clicks, pages that
// fail to load, and pages that ask for a new window.
#include <string>

#include "core/base/endpoints.h"
#include "core/forms/control_router.h"
#include "core/forms/link_router.h"
#include "core/shell/window_parts.h"
#include "core/state/program_state.h"
#include "platform/browser_view.h"
#include "platform/shell.h"
#include "platform/tray.h"

namespace tavlin::pages {

// The error panel's text (label webe), all in the interface's language.
inline constexpr const char* kPortalErrorText =
    "出错了！\r\n\r\n1.请检查你的网络连接\r\n2.软件网络出现了故障\r\n3.请点此尝试重新连接\r\n"
    "4.请尝试重新启动软件\r\n";
// What the other views show in place of a portal page that failed: the first line is
// the heading.
inline constexpr const char* kPageFailedText =
    "页面暂时无法打开\r\n请检查你的网络连接。\r\n网络恢复后本页会自动重新载入，也可以点击此处立即重试。";

// The views that show the program's notice in place of a failed portal page: every
// view the user can see but the portal view, which has its error panel.
bool ShowsFailureNotice(const std::string& view);

// The views whose right click shows the browser's own menu; every other view's is
// the program's (or nothing).
bool KeepsBrowserMenu(const std::string& view);
// The one view whose pages may start sound and film without a click: the page
// player, which the program itself sends to the item to play. Ads, statistics and
// every other page wait for the user.
bool PlaysWithoutGesture(const std::string& view);

class Pages final : public forms::PageObserver {
 public:
  Pages(Portal portal, shell::PortalArea& area, state::EpisodeState& flags, Shell& desktop, MenuHost& menus)
      : portal_(std::move(portal)), area_(area), flags_(flags), desktop_(desktop), menus_(menus) {}

  // Hears every view and takes the clicks on the error panel.
  void Attach(forms::LinkRouter& links, forms::ControlRouter& input);

  // jia or webe clicked: the portal's home once more.
  void Retry();

  // What the views report (no page can open a dialog: the views are silent by make).
  void DownloadComplete(const std::string& view) override;
  void NavigateError(const std::string& view, const std::string& address, int status) override;
  void ContextMenu(const std::string& view, const std::string& activeHref, const std::string& origin, int x,
                   int y) override;
  void NewWindow(const std::string& view, const std::string& address, bool& cancel) override;

 private:
  Portal portal_;
  shell::PortalArea& area_;
  state::EpisodeState& flags_;  // which pages failed
  Shell& desktop_;
  MenuHost& menus_;                     // the portal view's own menu
  forms::LinkRouter* views_ = nullptr;  // the views by name, once attached
};

}  // namespace tavlin::pages
