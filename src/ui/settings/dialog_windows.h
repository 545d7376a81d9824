#pragma once
// The windows of the settings dialog BA3 and of the help pager (the form tip made
// visible): titled windows owned by the main window, mirrored from their forms.
#include <memory>

#include "core/app/program.h"
#include "ui/shell/form_widget.h"
#include "ui/shell/main_window.h"

namespace tavlin::ui {

// Input of a form's window goes to that form's router, through the main window's
// dispatch like all other input.
class FormInput final : public InputSink {
 public:
  FormInput(MainWindow& window, forms::ControlRouter& router) : window_(window), router_(router) {}
  void Raise(const forms::InputEvent& event) override {
    forms::ControlRouter* router = &router_;
    window_.Dispatch([router, event] { router->Raise(event); });
  }

 private:
  MainWindow& window_;
  forms::ControlRouter& router_;
};

class DialogWindows {
 public:
  DialogWindows(Program& program, MainWindow& window, const SkinStrips& strips);
  FormWidget& settings() { return *settings_; }
  FormWidget& help() { return *help_; }

 private:
  FormInput settingsInput_, helpInput_;
  std::unique_ptr<FormWidget> settings_, help_;
};

}  // namespace tavlin::ui
