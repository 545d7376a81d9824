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

UpdateCheck::UpdateCheck(shell::BA1& main, state::ProgramState& state, UpdatePorts ports, shell::ProgramExit& exit)
    : main_(main), state_(state), ports_(ports), exit_(exit) {
  main_.Timer5.onTick = [this] { Timer5_Timer(); };
  main_.Timer7.onTick = [this] { Timer7_Timer(); };
}

void UpdateCheck::RouteInput(forms::ControlRouter& router) {
  router.Route(main_.Lab2, [this](const forms::InputEvent& e) {
    if (e.kind == forms::InputEvent::Click && e.control && e.control->index) Lab2_Click(*e.control->index);
  });
}

void UpdateCheck::Timer5_Timer() {
  main_.Timer5.SetEnabled(false);
  const std::optional<std::string> body = ports_.http.Get(main_.portal.UpdateFile());
  if (!body) return;
  const std::optional<UpdateFile> file = ParseUpdateFile(*body);
  if (!file) return;
  auto& u = state_.update;
  if (file->exitPage) u.ExitPageSpec = *file->exitPage;
  if (file->noticeSwitch) u.NoticeSwitch = ToNumber(*file->noticeSwitch);
  if (file->version) u.LatestVersion = *file->version;

  if (SwitchOn(file->playerAd) && state_.episodes.PlayerAdFailed != 1) {
    main_.ad_huan.visible = true;
    main_.adp.visible = false;
  }
  if (u.NoticeSwitch == 1 && file->notices) LoadNotices(*file->notices);

  u.LatestVersion = CleanVersion(u.LatestVersion);
  if (IsNonZeroNumber(u.LatestVersion) && OfferUpdate(main_.portal.Setup())) return;
  if (SwitchOn(file->floatingAd)) main_.Timer8.SetEnabled(true);
}

void UpdateCheck::LoadNotices(const std::string& section) {
  const std::vector<Notice> notices = ParseNotices(section);
  if (notices.empty()) return;
  for (size_t i = 0; i < notices.size(); ++i) {
    auto& label = main_.Lab2[static_cast<int>(i)];
    label.SetCaption(notices[i].caption);
    label.fore = kNoticeColour;
    Te[i] = notices[i].link;
  }
  if (main_.CompactMode != 0) return;
  // The notice named by Lab(0) is the one on show until the first turn.
  if (auto* shown = main_.Lab2.Find(ToNumber(main_.Lab[0].caption))) shown->visible = true;
  main_.Timer7.SetEnabled(true);
}

bool UpdateCheck::OfferUpdate(const std::string& installer) {
  const std::string& latest = state_.update.LatestVersion;
  if (latest.empty() || latest == Trim(state_.update.InstalledVersion)) return false;
  const std::string question = "检测到最新版本 " + latest + " ,你需要现在升级吗？";
  if (ports_.dialogs.AskYesNo(question, kQuestionTitle) != Answer::Yes) return false;
  const std::string updater = main_.folder.File(kUpdaterName);
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
  if (OfferUpdate(main_.portal.Updater())) return;
  const std::string& latest = state_.update.LatestVersion;
  if (!latest.empty() && latest != Trim(state_.update.InstalledVersion)) return;  // asked, answered No
  ports_.dialogs.Inform(kUpToDateText, "提示：");
}

void UpdateCheck::Timer7_Timer() {
  int count = 0;
  for (int i = 0; i <= 3; ++i) count += !main_.Lab2[i].caption.empty() && !Te[i].empty();
  if (count == 0) {
    main_.Timer7.SetEnabled(false);
    return;
  }
  const int current = ToNumber(main_.Lab[0].caption);
  int next = current + 1;
  if (next >= count) next = 0;  // also when Lab(0) was left past the notices loaded
  main_.Lab[0].caption = std::to_string(next);
  if (auto* shown = main_.Lab2.Find(current)) shown->visible = false;
  if (auto* coming = main_.Lab2.Find(next)) coming->visible = true;
}

void UpdateCheck::Lab2_Click(int index) {
  if (index < 0 || index > 3) return;
  // The link comes from the portal's file: only a web page goes to the desktop.
  if (IsWebAddress(Te[index])) ports_.desktop.OpenUrl(Te[index]);
}

}  // namespace tavlin::update
