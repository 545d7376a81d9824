#include "core/links/links.h"

#include "core/base/text.h"
#include "core/lists/list_files.h"
#include "core/services/process_control.h"

namespace tavlin::links {

using episodes::EpisodeAnswer;
using episodes::Fields;

namespace {
constexpr const char* kResolveMark = "eebovod://";
constexpr const char* kPlayMark = "eeqvod://";
bool Contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }
}  // namespace

std::string LinkBody(const std::string& address, const std::string& mark) {
  std::string body = ReplaceAll(address, mark, "");
  if (!body.empty() && body.back() == '/') body.pop_back();
  return body;
}

Links::Links(ProgramFolder folder, Portal portal, LinksWindow window, state::ProgramState& state,
             player::Player& player, episodes::EpisodeRequests& requests, LinksPorts ports)
    : folder_(std::move(folder)),
      portal_(std::move(portal)),
      window_(window),
      state_(state),
      player_(player),
      requests_(requests),
      ports_(ports) {}

void Links::RouteLinks(forms::LinkRouter& router) {
  using forms::LinkSource;
  // Play links come from the portal's pages, or from the program itself (a link
  // handed on from the side panel, the next episode).
  router.RouteScheme("eebovod", *this, {LinkSource::Portal, LinkSource::Program});
  router.RouteScheme("eeqvod", *this, {LinkSource::Portal, LinkSource::Program});
}

void Links::BeforeNavigate(const std::string& view, const std::string& address, bool& cancel) {
  cancel = true;
  if (view == "Web5") {
    ports_.navigator.Navigate2("Web1", address);
  } else if (view == "Web1") {
    // An address with both marks is resolved first, but never from within a
    // resolution: the link it plays carries the portal's text, which may hold a mark
    // again, and resolving that would go on for ever.
    if (Contains(address, kResolveMark) && !resolving_) {
      resolving_ = true;
      Resolve(address);
      resolving_ = false;
    } else if (Contains(address, kPlayMark)) {
      Play(address);
    }
  }
}

void Links::Resolve(const std::string& address) {
  const Fields f(LinkBody(address, kResolveMark), "-");
  int number = 0;
  const std::string id = std::to_string(ParseNumber(f[0], number) ? number : 0);
  const std::string &source = f[1], &index = f[2];
  const std::string title(CutText(f[3], kMaxTitleBytes));

  window_.status.Show("正在搜索资源，请稍后");
  window_.views.ShowPlayView();  // the player is on screen while the portal is asked
  const EpisodeAnswer answer = requests_.Ask(id, source, index);
  if (answer.kind == EpisodeAnswer::Kind::NoSuchEpisode || answer.kind == EpisodeAnswer::Kind::NoResult ||
      !answer.answered) {
    state_.episodes.NextEpisodePage = state::NextEpisode::NoneLeft();
  }
  if (answer.found()) {
    ports_.navigator.Navigate2(
        "Web1", episodes::PlayLink(answer.playerKind, answer.address, title, answer.label, id, source, index));
    return;
  }
  // The item playing, if any, goes on.
  window_.tray.ShowTrayBalloon("读取数据出错，请返回重试！");
  window_.status.Show("读取数据出错，请返回重试");
}

void Links::StartQvodTerminal() {
  if (FindProcessId(ports_.processes, "QvodTerminal.exe") != 0) return;
  tavlin::StartQvodTerminal(ports_.processes, state::KnownQvodFolder(state_.services, folder_.IniPath()));
}

void Links::Play(const std::string& address) {
  player_.StopItem();  // the item before is stopped and its place saved
  StartQvodTerminal();

  const Fields f(LinkBody(address, kPlayMark), "&&&");
  const std::string &kind = f[0], &escaped = f[1];
  // The title travels on in the episode key, the side panel's address and the
  // record: a page's link may make it megabytes long.
  const std::string title(CutText(f[2], kMaxTitleBytes)), episode(CutText(f[3], kMaxEpisodeBytes));
  const std::string &idField = f[4], &source = f[5], &index = f[6];
  int number = 0;
  const std::string id = std::to_string(ParseNumber(idField, number) ? number : 0);
  const std::string key = id + "-" + source + "-" + index + "-" + title;

  if (kind == "qvod") {
    player_.PlayAddress(UnescapeText(escaped));
    state::StartItem(state_.playback, state_.episodes, {.source = 1, .itemKey = id, .episodeKey = key});
  } else {
    // Another kind of player: the portal's page player plays it in Web2.
    state::StartItem(state_.playback, state_.episodes,
                     {.source = 1, .inPage = true, .itemKey = "0", .episodeKey = key});
    ports_.navigator.Navigate2("Web2", portal_.PagePlayer(key));
  }
  window_.title.Show(UnescapeText(title), "-" + UnescapeText(episode));

  if (!title.empty() && !idField.empty() && !escaped.empty()) {
    ports_.navigator.Navigate2("Web5", portal_.EpisodePage(key + "-0"));
    AddToHistory(id, title, episode, escaped, source, index);
  }
  window_.views.ShowPlayView();
}

void Links::AddToHistory(const std::string& id, const std::string& title, const std::string& episode,
                         const std::string& address, const std::string& source, const std::string& index) {
  int sourceNumber = 0, indexNumber = 0;
  if (!ParseNumber(source, sourceNumber) || !ParseNumber(index, indexNumber)) return;
  ListStore lists(folder_.dir, &ports_.navigator);
  if (!lists.AddHistoryEntry(ToNumber(id), title, episode, address, sourceNumber, indexNumber, 0)) {
    window_.writeFailures.WriteFailed(lists.PathOf(kHistoryList));
  }
}

}  // namespace tavlin::links
