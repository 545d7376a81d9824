#include "core/update/update.h"

#include <filesystem>
#include <system_error>

#include "core/base/text.h"
#include "core/update/update_file.h"

namespace tavlin::update {

namespace {

constexpr forms::Rgb kNoticeColour{17, 64, 96};

bool IsExecutableFile(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::file_status st = fs::status(path, ec);
  if (ec || !fs::is_regular_file(st)) return false;
  return (st.permissions() & (fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec)) !=
         fs::perms::none;
}

}  // namespace

UpdateCheck::UpdateCheck(ProgramFolder folder, Portal portal, UpdateWindow window, state::ProgramState& state,
                         UpdatePorts ports, shell::ProgramExit& exit)
    : folder_(std::move(folder)),
      portal_(std::move(portal)),
      mainWindow_(window),
      state_(state),
      ports_(ports),
      exit_(exit) {
  mainWindow_.check.onTick = [this] { Timer5_Timer(); };
  mainWindow_.noticeTurn.onTick = [this] { Timer7_Timer(); };
}

void UpdateCheck::RouteInput(forms::ControlRouter& router) {
  router.Route(mainWindow_.notices.Notices(), [this](const forms::InputEvent& e) {
    if (e.kind == forms::InputEvent::Click && e.control && e.control->index) Lab2_Click(*e.control->index);
  });
}

void UpdateCheck::Timer5_Timer() {
  mainWindow_.check.SetEnabled(false);
  const std::optional<std::string> body = ports_.http.Get(portal_.UpdateFile());
  if (!body) return;
  const std::optional<UpdateFile> file = ParseUpdateFile(*body);
  if (!file) return;
  auto& u = state_.update;
  if (file->exitPage) u.ExitPageSpec = *file->exitPage;
  if (file->noticeSwitch) u.NoticeSwitch = ToNumber(*file->noticeSwitch);
  if (file->version) u.LatestVersion = *file->version;

  if (SwitchOn(file->playerAd) && state_.episodes.PlayerAdFailed != 1) {
    mainWindow_.ads.ShowPlayerAd();
  }
  if (u.NoticeSwitch == 1 && file->notices) LoadNotices(*file->notices);

  u.LatestVersion = CleanVersion(u.LatestVersion);
  if (IsNonZeroNumber(u.LatestVersion) && OfferUpdate(portal_.Setup())) return;
  if (SwitchOn(file->floatingAd)) mainWindow_.floatingAd.SetEnabled(true);
}

void UpdateCheck::LoadNotices(const std::string& section) {
  const std::vector<Notice> notices = ParseNotices(section);
  if (notices.empty()) return;
  forms::ControlArray& labels = mainWindow_.notices.Notices();
  for (size_t i = 0; i < notices.size(); ++i) {
    auto& label = labels[static_cast<int>(i)];
    label.SetCaption(notices[i].caption);
    label.fore = kNoticeColour;
    Te[i] = notices[i].link;
  }
  if (mainWindow_.notices.InCompactMode()) return;
  // The notice named by Lab(0) is the one on show until the first turn.
  if (auto* shown = labels.Find(ToNumber(mainWindow_.notices.ShownNumber().caption))) shown->visible = true;
  mainWindow_.noticeTurn.SetEnabled(true);
}

bool UpdateCheck::OfferUpdate(const std::string& installer) {
  const std::string& latest = state_.update.LatestVersion;
  if (latest.empty() || latest == Trim(state_.update.InstalledVersion)) return false;
  const std::string question = "检测到最新版本 " + latest + " ,你需要现在升级吗？";
  if (ports_.dialogs.AskYesNo(question, kQuestionTitle) != Answer::Yes) return false;
  const std::string updater = folder_.File(kUpdaterName);
  if (IsExecutableFile(updater)) {
    ports_.processes.StartDetached(updater, {}, WindowState::MinimizedWithFocus);
  } else {
    ports_.desktop.OpenUrl(installer);
  }
  // Whether or not the updater could be started, the program makes way for it.
  exit_.ttt_v();
  return true;
}

void UpdateCheck::shengji() {
  if (OfferUpdate(portal_.Updater())) return;
  const std::string& latest = state_.update.LatestVersion;
  if (!latest.empty() && latest != Trim(state_.update.InstalledVersion)) return;  // asked, answered No
  ports_.dialogs.Inform(kUpToDateText, "提示：");
}

void UpdateCheck::Timer7_Timer() {
  forms::ControlArray& labels = mainWindow_.notices.Notices();
  forms::Control& shownNumber = mainWindow_.notices.ShownNumber();
  int count = 0;
  for (int i = 0; i <= 3; ++i) count += !labels[i].caption.empty() && !Te[i].empty();
  if (count == 0) {
    mainWindow_.noticeTurn.SetEnabled(false);
    return;
  }
  const int current = ToNumber(shownNumber.caption);
  int next = current + 1;
  if (next >= count) next = 0;  // also when Lab(0) was left past the notices loaded
  shownNumber.caption = std::to_string(next);
  if (auto* shown = labels.Find(current)) shown->visible = false;
  if (auto* coming = labels.Find(next)) coming->visible = true;
}

void UpdateCheck::Lab2_Click(int index) {
  if (index < 0 || index > 3) return;
  // The link comes from the portal's file: only a web page goes to the desktop.
  if (IsWebAddress(Te[index])) ports_.desktop.OpenUrl(Te[index]);
}

}  // namespace tavlin::update
