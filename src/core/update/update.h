#pragma once
// The update check: six seconds after load the portal's update file is read once;
// it sets the exit page, the notice line, the ad switches and may ask to update.
// The menu's manual check repeats the version question with what was read then.
#include <array>
#include <string>

#include "core/base/endpoints.h"
#include "core/base/program_folder.h"
#include "core/forms/control_router.h"
#include "core/shell/seams.h"
#include "core/shell/window_parts.h"
#include "core/state/program_state.h"
#include "platform/dialogs.h"
#include "platform/http_client.h"
#include "platform/processes.h"
#include "platform/shell.h"

namespace tavlin::update {

inline constexpr const char* kQuestionTitle = "Tavlin提示：";
inline constexpr const char* kUpToDateText = "你现在使用的是最新版本，无需升级！";
// The program's own updater, preferred to the portal's installer when present.
inline constexpr const char* kUpdaterName = "update";

struct UpdatePorts {
  HttpClient& http;
  Dialogs& dialogs;
  Shell& desktop;
  Processes& processes;
};

// What the check changes on the main window, and its timers.
struct UpdateWindow {
  shell::NoticeArea& notices;
  shell::PortalArea& ads;
  forms::Timer& check;       // Timer5: the one reading, after load
  forms::Timer& noticeTurn;  // Timer7: the next notice on show
  forms::Timer& floatingAd;  // Timer8: the floating ad comes up
};

class UpdateCheck {
 public:
  UpdateCheck(ProgramFolder folder, Portal portal, UpdateWindow window, state::ProgramState& state, UpdatePorts ports,
              shell::ProgramExit& exit);

  // The links of the notices Lab2(0..3).
  std::array<std::string, 4> Te;

  void Timer5_Timer();
  void shengji();
  void Timer7_Timer();
  void Lab2_Click(int index);
  void RouteInput(forms::ControlRouter& router);

 private:
  void LoadNotices(const std::string& section);
  // Asks; on Yes starts the updater or hands the installer to the browser and
  // exits. True when the program is exiting.
  bool OfferUpdate(const std::string& installer);
  ProgramFolder folder_;
  Portal portal_;
  UpdateWindow mainWindow_;
  state::ProgramState& state_;
  UpdatePorts ports_;
  shell::ProgramExit& exit_;
};

}  // namespace tavlin::update
