#include "ui/settings/dialog_windows.h"

#include "ui/shell/qt_ports.h"

namespace tavlin::ui {

namespace {

std::unique_ptr<FormWidget> OwnedWindow(forms::Form& form, InputSink& input, MainWindow& main, const SkinStrips& strips,
                                        const char* title) {
  auto w = std::make_unique<FormWidget>(strips);
  // A dialog of the main window: transient for it (on X11 only dialogs are), so
  // it stays above it, has no minimise or maximise of its own, opens centred on
  // it (FormWidget::Sync) and goes with it.
  w->setParent(&main.widget(), Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint);
  w->setWindowTitle(QString::fromUtf8(title));
  w->setWindowIcon(ProgramIcon());
  w->Build(form, input, nullptr);
  w->setFixedSize(form.window.w, form.window.h);
  main.AddFormWidget(*w);
  return w;
}

}  // namespace

DialogWindows::DialogWindows(Program& program, MainWindow& window, const SkinStrips& strips)
    : settingsInput_(window, program.ba3().input), helpInput_(window, program.tip().input) {
  settings_ = OwnedWindow(program.ba3(), settingsInput_, window, strips, settings::kSettingsCaption);
  help_ = OwnedWindow(program.tip(), helpInput_, window, strips, menus::kHelpCaption);
}

}  // namespace tavlin::ui
