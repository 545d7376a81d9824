#include "core/episodes/episodes.h"

#include "core/base/config.h"
#include "core/base/text.h"

namespace tavlin::episodes {

namespace {
// The neighbour's index as text, or nothing when index is no number.
std::optional<std::string> Neighbour(const std::string& index, int step) {
  int n = 0;
  if (!ParseNumber(index, n)) return std::nullopt;
  return std::to_string(n + step);
}
}  // namespace

Episodes::Episodes(ProgramFolder folder, Portal portal, EpisodesWindow window, ViewNavigator& views,
                   state::ProgramState& state, EpisodeRequests& requests)
    : folder_(std::move(folder)),
      portal_(std::move(portal)),
      window_(window),
      views_(views),
      episodes_(state.episodes),
      requests_(requests) {
  window_.retry.onTick = [this] { Timer4_Timer(); };
}

void Episodes::RouteLinks(forms::LinkRouter& router) { router.RoutePrefix(player::kNextEpisodeMarker, *this); }

bool Episodes::AutomaticSetting(const char* key) const {
  return ToNumber(ReadIni(folder_.IniPath(), "S_q", key, "0")) == 2;
}

void Episodes::ResolveNextEpisode() {
  if (!AutomaticSetting("s_h")) {
    episodes_.NextEpisodePage = "0";
    return;
  }
  const std::string& current = episodes_.CurrentEpisodeKey;
  if (current == "0" || current.find('-') == std::string::npos) return;
  const EpisodeKey key = EpisodeKey::Parse(current);
  const std::optional<std::string> next = Neighbour(key.index, 1);
  // An index that is no number fails as a request without an answer does.
  const EpisodeAnswer answer = next ? requests_.Ask(key.id, key.source, *next) : EpisodeAnswer{};
  switch (answer.kind) {
    case EpisodeAnswer::Kind::NoSuchEpisode:
      episodes_.NextEpisodePage = "1";
      episodes_.NextEpisodeUrl = "1";
      return;
    case EpisodeAnswer::Kind::NoResult:
      episodes_.NextEpisodePage = "0";
      episodes_.NextEpisodeUrl = "0";
      return;
    case EpisodeAnswer::Kind::Found:
      episodes_.NextEpisodeUrl = answer.address;
      episodes_.NextPrefetchStarted = 0;
      // The answer's kind is not used: the next episode always plays in the player.
      episodes_.NextEpisodePage = PlayLink("qvod", answer.address, key.title, answer.label, key.id, key.source, *next);
      return;
    case EpisodeAnswer::Kind::Failed:
      episodes_.NextEpisodePage = "3";
      episodes_.NextEpisodeUrl = "0";
      episodes_.PrefetchRetryTicks = 0;
      episodes_.NextPrefetchStarted = 1;
      window_.tray.ShowTrayBalloon("读取下一集数据出错，稍后将重新读取！");
      window_.retry.SetEnabled(true);
      return;
  }
}

void Episodes::Timer4_Timer() {
  episodes_.PrefetchRetryTicks += 1;
  if (episodes_.PrefetchRetryTicks < 2) return;
  window_.retry.SetEnabled(false);
  ResolveNextEpisode();
  episodes_.NextPrefetchStarted = 0;
  episodes_.PrefetchRetryTicks = 0;
}

void Episodes::StepEpisode(int direction) {
  const int step = direction == 1 ? -1 : 1;
  const std::string& current = episodes_.CurrentEpisodeKey;
  if (current == "0" || current.find('-') == std::string::npos) return;
  const EpisodeKey key = EpisodeKey::Parse(current);
  const std::optional<std::string> index = Neighbour(key.index, step);
  if (!index) return;
  if (direction == 1 && ToNumber(key.index) == 0) return;  // nothing before the first
  const EpisodeAnswer answer = requests_.Ask(key.id, key.source, *index);
  if (!answer.found()) return;  // the buttons fail silently
  views_.Navigate2("Web1", PlayLink(answer.playerKind, answer.address, key.title, answer.label, key.id, key.source,
                                   *index));
}

void Episodes::BeforeNavigate(const std::string& view, const std::string& address, bool& cancel) {
  (void)address;
  cancel = true;
  if (view != "Web2") return;
  if (!AutomaticSetting("s_bo")) {
    window_.poll.SetEnabled(true);
    return;
  }
  const std::string& next = episodes_.NextEpisodePage;
  if (next == "1") return;
  if (next != "0" && next != "3") {
    views_.Navigate2("Web1", next);
    return;
  }
  // Not resolved: the episode page is asked to start the next episode itself.
  const EpisodeKey key = EpisodeKey::Parse(episodes_.CurrentEpisodeKey);
  const std::optional<std::string> index = Neighbour(key.index, 1);
  if (episodes_.CurrentEpisodeKey == "0" || !index) return;
  views_.Navigate2("Web5", portal_.EpisodePage(episodes_.CurrentEpisodeKey + "-" + key.source + *index));
}

}  // namespace tavlin::episodes
