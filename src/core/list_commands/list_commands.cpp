#include "core/list_commands/list_commands.h"

#include <cstdio>

#include "core/base/files.h"
#include "core/base/text.h"
#include "core/base/utf.h"
#include "core/player/player_settings.h"
#include "core/services/process_control.h"

namespace tavlin::list_commands {

namespace {
constexpr const char* kOpenMark = "open://";
constexpr const char* kDeleteMark = "delk://";

bool StartsWith(const std::string& text, const char* mark) { return text.rfind(mark, 0) == 0; }
const std::string& Field(const std::vector<std::string>& f, size_t i) {
  static const std::string kEmpty;
  return i < f.size() ? f[i] : kEmpty;
}
}  // namespace

std::optional<int> EntryNumber(const std::string& link, const std::string& mark) {
  int n = 0;
  if (!ParseNumber(ReplaceAll(ReplaceAll(link, mark, ""), "/", ""), n) || n < 1) return std::nullopt;
  return n;
}

std::u32string DownloadPrefix(const std::string& address) {
  if (address.find('|') == std::string::npos) return {};
  const std::u32string stem = Utf8ToCodePoints(StripExtension(UnescapeText(Field(Split(address, "|"), 2))));
  // Half the name catches the pieces and renamed copies a download leaves; a short
  // name must match whole.
  const size_t k = static_cast<size_t>(player::RoundHalfEven(stem.size() / 2.0));
  return k < 3 ? stem : stem.substr(0, k);
}

std::vector<std::string> DownloadedFilesOf(const std::string& address, const std::vector<std::string>& names) {
  const std::u32string prefix = DownloadPrefix(address);
  std::vector<std::string> matches;
  if (prefix.empty()) return matches;
  for (const std::string& name : names) {
    if (Utf8ToCodePoints(name).substr(0, prefix.size()) == prefix) matches.push_back(name);
  }
  return matches;
}

ListCommands::ListCommands(ProgramFolder folder, Portal portal, ListCommandsWindow window, state::ProgramState& state,
                           player::Player& player, forms::LinkRouter& views, ListCommandPorts ports)
    : folder_(std::move(folder)),
      portal_(std::move(portal)),
      window_(window),
      state_(state),
      player_(player),
      views_(views),
      ports_(ports),
      lists_(folder_.dir, &views) {}

void ListCommands::RouteLinks(forms::LinkRouter& router) {
  using forms::LinkSource;
  router.RouteScheme("open", *this, {LinkSource::ListPage, LinkSource::Program});
  router.RouteScheme("delk", *this, {LinkSource::ListPage, LinkSource::Program});
  router.Observe(*this);
}

void ListCommands::RouteInput(forms::ControlRouter& router) {
  router.Route(window_.label.Label(), [this](const forms::InputEvent& e) {
    if (e.kind == forms::InputEvent::Click) qk_Click();
    if (e.kind == forms::InputEvent::MouseMove) window_.label.Hovered();
  });
}

const char* ListCommands::CurrentList() const { return window_.views.LocalListSelected() ? kLocalList : kHistoryList; }

void ListCommands::WriteFailed(const std::string& path) { window_.writeFailures.WriteFailed(path); }

void ListCommands::RefreshSidePanel() {
  // Web5 shows the network list unless a portal item's episode page is there.
  if (state_.playback.PlaySource == 1) return;
  if (BrowserView* web5 = views_.View("Web5")) web5->Refresh();
}

void ListCommands::BeforeNavigate(const std::string& view, const std::string& address, bool& cancel) {
  cancel = true;
  const bool remove = StartsWith(address, kDeleteMark);
  if (!remove && !StartsWith(address, kOpenMark)) return;
  if (view == "Web3") {
    remove ? Delete(address) : Open(address);
  } else if (view == "Web4" || view == "Web5") {
    // The list pages of the other views hand their commands to Web3.
    views_.Navigate2("Web3", address);
    if (remove) {
      if (BrowserView* v = views_.View(view)) v->Refresh();
    }
  }
}

void ListCommands::Delete(const std::string& address) {
  const char* list = CurrentList();
  const std::optional<int> n = EntryNumber(address, kDeleteMark);
  if (!n) return;
  if (!lists_.DeleteListLine(list, *n) && FileExists(lists_.PathOf(list))) WriteFailed(lists_.PathOf(list));
  RefreshSidePanel();
}

void ListCommands::Open(const std::string& address) {
  const bool local = window_.views.LocalListSelected();
  // An entry that is not there plays nothing: the item playing goes on.
  const std::optional<int> n = EntryNumber(address, kOpenMark);
  if (!n) return;
  const auto bytes = ReadWholeFile(lists_.PathOf(CurrentList()));
  if (!bytes) return;
  const std::vector<std::string> lines = ReadListLines(*bytes);
  if (static_cast<size_t>(*n) > lines.size() || !IsRecord(lines[*n - 1])) return;
  const std::vector<std::string> fields = Split(lines[*n - 1], "|");

  player_.StopItem();  // the item before is stopped and its place saved
  if (local) {
    if (!FileExists(Field(fields, 1))) {
      ports_.dialogs.Inform(Field(fields, 1) + "不存在", shell::kDefaultTitle);
      if (!lists_.DeleteListLine(kLocalList, *n)) WriteFailed(lists_.PathOf(kLocalList));
      return;
    }
    OpenLocal(fields);
  } else {
    OpenNetwork(fields);
  }
  window_.views.ShowPlayView();
}

void ListCommands::OpenLocal(const std::vector<std::string>& f) {
  const std::string& path = Field(f, 1);
  player_.PlayAddress(path);
  window_.title.Show(UnescapeText(Field(f, 0)));
  state::StartItem(state_.playback, state_.episodes,
                   {.source = 2, .itemKey = path, .episodeKey = "0", .resumeAt = ToNumber(Field(f, 2))});
  views_.Navigate2("Web5", folder_.File("c.htm"));
}

void ListCommands::OpenNetwork(const std::vector<std::string>& f) {
  const std::string &id = Field(f, 0), &title = Field(f, 1), &episode = Field(f, 2), &address = Field(f, 3);
  const std::string &source = Field(f, 4), &index = Field(f, 5);
  const std::string key = id + "-" + source + "-" + index + "-" + title;
  if (address.find("qvod") != std::string::npos) {
    StartQvodTerminal(ports_.processes, state_.services.QvodFolder);
    player_.PlayAddress(UnescapeText(address));
    window_.title.Show(UnescapeText(title), "-" + UnescapeText(episode));
    state::StartItem(state_.playback, state_.episodes,
                     {.source = 1, .itemKey = id, .episodeKey = key, .resumeAt = ToNumber(Field(f, 6))});
    views_.Navigate2("Web5", portal_.EpisodePage(key + "-0"));
    return;
  }
  // The page player's items are no start yet: the episode page starts the episode
  // itself, and its play link comes back as a start of its own (Links). Until then
  // the series state stays the one of the item before.
  auto& playback = state_.playback;
  playback.PlaysInPage = 1;
  playback.CurrentItemKey = "0";
  playback.PlaySource = 1;
  views_.Navigate2("Web5", portal_.EpisodePage(key + "-" + source + index));
}

void ListCommands::ContextMenu(const std::string& view, const std::string& activeHref, const std::string&, int, int) {
  // The router hands on an entry's link only from the program's own list pages.
  if (view != "Web3" && view != "Web5") return;
  if (activeHref.find(kOpenMark) == std::string::npos) return;
  state_.lists.SelectedListLink = activeHref;
  ports_.menus.PopupAtPointer("webc");
}

void ListCommands::CCC() {
  const std::string& link = state_.lists.SelectedListLink;
  if (link.find("//") == std::string::npos) return;
  views_.Navigate2("Web3", kOpenMark + ReplaceAll(link, kOpenMark, ""));
}

void ListCommands::ddd() {
  const std::string& link = state_.lists.SelectedListLink;
  if (link.find("//") == std::string::npos) return;
  views_.Navigate2("Web3", kDeleteMark + ReplaceAll(link, kOpenMark, ""));
}

ListCommands::DownloadFolder ListCommands::FindDownloadFolder() {
  const std::string& folder = state::KnownQvodFolder(state_.services, folder_.IniPath());
  // Without a player folder of its own the player keeps its settings beside the program.
  const std::string settings = player::PlayerSettingsPath(folder_, folder);
  const std::string fallback = player::HomeSavePath();
  if (!FileExists(settings)) return {fallback, false};
  return {player::ReadSavePath(settings, fallback), true};
}

void ListCommands::eee() {
  const std::string& link = state_.lists.SelectedListLink;
  if (link.find("//") == std::string::npos) return;
  std::string n = ReplaceAll(ReplaceAll(link, kOpenMark, ""), kDeleteMark, "");
  if (!n.empty() && n.back() == '/') n.pop_back();
  const auto bytes = ReadWholeFile(lists_.PathOf(kHistoryList));
  if (!bytes) return;
  // The task is always one of the network list, whichever tab is current.
  const std::vector<std::string> lines = ReadListLines(*bytes);
  int number = 0;
  const std::string record =
      ParseNumber(n, number) && number >= 1 && static_cast<size_t>(number) <= lines.size() ? lines[number - 1] : "";
  const std::string address = UnescapeText(Field(Split(record, "|"), 3));

  // A task without a file name has no downloads to delete.
  if (DownloadPrefix(address).empty()) {
    views_.Navigate2("Web3", kDeleteMark + n);
    return;
  }
  const DownloadFolder folder = FindDownloadFolder();
  std::vector<std::string> names;
  const std::vector<std::string> matches = folder.fromSettings && ListFiles(folder.path, names, "*.*")
                                               ? DownloadedFilesOf(address, names)
                                               : std::vector<std::string>{};
  if (!matches.empty()) {
    std::string listed;
    for (const std::string& name : matches) listed += name + "\n";
    const Answer answer =
        ports_.dialogs.AskYesNo("确定要删除 [" + folder.path + "] 下面的这些文件吗？\n\n" + listed, "提示：");
    if (answer == Answer::Yes) {
      for (const std::string& name : matches) {
        // The names come from listing the folder: each is a plain file in it.
        const std::string path = folder.path + name;
        if (FileExists(path)) std::remove(path.c_str());
        if (FileExists(path)) state_.lists.DeleteFailed = 1;
      }
      if (state_.lists.DeleteFailed == 1) {
        window_.tray.ShowTrayBalloon("部分文件可能正在使用中，未删除成功！请手动删除！");
        state_.lists.DeleteFailed = 0;
      }
    } else {
      ports_.desktop.OpenFolder(folder.path);  // the user deletes by hand
    }
  }
  views_.Navigate2("Web3", kDeleteMark + n);
  RefreshSidePanel();
}

void ListCommands::ClearList(const char* list) {
  const std::string path = lists_.PathOf(list);
  // A list that has no file stays without one.
  if (!FileExists(path)) return;
  if (!WriteFileAtomically(path, "\r\n")) {
    WriteFailed(path);
    return;
  }
  if (!lists_.RenderListPage(list)) WriteFailed(path);
}

void ListCommands::qk_Click() {
  window_.label.Pressed();
  if (window_.views.LocalListSelected()) {
    if (ports_.dialogs.AskYesNo("确定要删除全部[本地播放]列表吗？", "提示：") == Answer::Yes) ClearList(kLocalList);
    return;
  }
  ports_.menus.PopupAtPointer("c_fie");
}

void ListCommands::qk_xl() {
  if (window_.views.LocalListSelected()) return;
  if (ports_.dialogs.AskYesNo("确定要删除全部[网络任务]列表吗？", "提示：") != Answer::Yes) return;
  ClearList(kHistoryList);
  RefreshSidePanel();
}

void ListCommands::qk_xw() {
  const DownloadFolder folder = FindDownloadFolder();
  std::vector<std::string> names;
  if (!ListFiles(folder.path, names, "*.*")) return;  // nothing to manage
  // The file manager must come up above a pinned window.
  window_.front.Unpin();
  ports_.desktop.OpenFolder(folder.path);
}

}  // namespace tavlin::list_commands
