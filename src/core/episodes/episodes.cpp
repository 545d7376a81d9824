#include "core/episodes/episodes.h"

#include "core/base/config.h"
#include "core/base/text.h"

namespace tavlin::episodes {

using state::NextEpisode;

namespace {
// The series item playing, nothing when a local file (or nothing) plays: its key
// is then "0".
std::optional<EpisodeKey> PlayingEpisode(const std::string& key) {
  if (key == "0" || key.find('-') == std::string::npos) return std::nullopt;
  return EpisodeKey::Parse(key);
}

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

bool Episodes::AutomaticSetting(IniKey key) const { return ToNumber(ReadIni(folder_.IniPath(), key)) == 2; }

void Episodes::ResolveNextEpisode() {
  if (!AutomaticSetting(ini_keys::kPrefetchNext)) {
    episodes_.NextEpisodePage = {};
    return;
  }
  const std::optional<EpisodeKey> playing = PlayingEpisode(episodes_.CurrentEpisodeKey);
  if (!playing) return;
  const EpisodeKey& key = *playing;
  const std::optional<std::string> next = Neighbour(key.index, 1);
  // An index that is no number fails as a request without an answer does.
  const EpisodeAnswer answer = next ? requests_.Ask(key.id, key.source, *next) : EpisodeAnswer{};
  switch (answer.kind) {
    case EpisodeAnswer::Kind::NoSuchEpisode:
      episodes_.NextEpisodePage = NextEpisode::NoneLeft();
      episodes_.NextEpisodeUrl = NextEpisode::NoneLeft();
      return;
    case EpisodeAnswer::Kind::NoResult:
      episodes_.NextEpisodePage = {};  // asked again at the next poll
      episodes_.NextEpisodeUrl = {};
      return;
    case EpisodeAnswer::Kind::Found:
      episodes_.NextEpisodeUrl = NextEpisode::Known(answer.address);
      episodes_.NextPrefetchStarted = 0;
      // The answer's kind is not used: the next episode always plays in the player.
      episodes_.NextEpisodePage =
          NextEpisode::Known(PlayLink("qvod", answer.address, key.title, answer.label, key.id, key.source, *next));
      return;
    case EpisodeAnswer::Kind::Failed:
      episodes_.NextEpisodePage = NextEpisode::Failed();
      episodes_.NextEpisodeUrl = {};
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
  const std::optional<EpisodeKey> playing = PlayingEpisode(episodes_.CurrentEpisodeKey);
  if (!playing) return;
  const EpisodeKey& key = *playing;
  const std::optional<std::string> index = Neighbour(key.index, step);
  if (!index) return;
  if (direction == 1 && ToNumber(key.index) == 0) return;  // nothing before the first
  const EpisodeAnswer answer = requests_.Ask(key.id, key.source, *index);
  if (!answer.found()) return;  // the buttons fail silently
  views_.Navigate2("Web1",
                   PlayLink(answer.playerKind, answer.address, key.title, answer.label, key.id, key.source, *index));
}

void Episodes::BeforeNavigate(const std::string& view, const std::string& address, bool& cancel) {
  (void)address;
  cancel = true;
  if (view != "Web2") return;
  if (!AutomaticSetting(ini_keys::kPlayNext)) {
    window_.poll.SetEnabled(true);
    return;
  }
  const NextEpisode& next = episodes_.NextEpisodePage;
  if (next.stage() == NextEpisode::Stage::NoneLeft) return;
  if (next.known()) {
    views_.Navigate2("Web1", next.value());
    return;
  }
  // Not resolved, or the search failed: the episode page is asked to start the
  // next episode itself.
  const std::optional<EpisodeKey> playing = PlayingEpisode(episodes_.CurrentEpisodeKey);
  const std::optional<std::string> index = playing ? Neighbour(playing->index, 1) : std::nullopt;
  if (!index) return;
  views_.Navigate2("Web5", portal_.EpisodePage(episodes_.CurrentEpisodeKey + "-" + playing->source + *index));
}

}  // namespace tavlin::episodes
