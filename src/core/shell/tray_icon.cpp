#include "core/shell/tray_icon.h"

#include "core/base/utf.h"
#include "core/shell/ba1.h"

namespace tavlin::shell {

namespace {
constexpr size_t kTooltipChars = 128;
constexpr size_t kBalloonChars = 256;
}  // namespace

std::string CutToCharacters(const std::string& text, size_t max) {
  size_t end = 0;
  for (size_t count = 0; count < max && end < text.size(); ++count) NextCodePoint(text, end);
  return text.substr(0, end);
}

void TrayIcon::AddTrayIcon(const std::string& tooltip) {
  tooltip_ = CutToCharacters(tooltip, kTooltipChars);
  installed_ = true;
  main_.ports.tray.Add(tooltip_);
}

void TrayIcon::ShowTrayBalloon(const std::string& text) {
  const std::string cut = CutToCharacters(text, kBalloonChars);
  tooltip_ = CutToCharacters(shell::kMainCaption, kTooltipChars);
  if (!installed_) return;
  // The same text while its balloon is still up is that balloon: a request failing
  // again and again shows one, not a stack of them.
  const int64_t now = main_.ports.clock.Milliseconds();
  if (lastBalloon_ && lastBalloon_->text == cut && now - lastBalloon_->at < kBalloonMergeMs) return;
  lastBalloon_ = ShownBalloon{cut, now};
  main_.ports.tray.ShowBalloon(kBalloonTitle, cut, tooltip_);
}

void TrayIcon::RemoveTrayIcon() {
  if (!installed_) return;
  installed_ = false;
  main_.ports.tray.Remove();
}

void TrayIcon::OnClick(int button) {
  if (button == 1) {
    if (main_.Minimized()) {
      main_.RestoreFromMinimized();
      return;
    }
    main_.ShowWindow(!main_.window.visible);
  } else if (button == 2) {
    main_.ports.menus.PopupAtPointer(kTrayMenu);
  }
}

}  // namespace tavlin::shell
