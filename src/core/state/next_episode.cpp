#include "core/state/next_episode.h"

namespace tavlin::state {

NextEpisode NextEpisode::FromText(std::string_view text) {
  if (text.empty() || text == "0") return {};
  if (text == "1") return NoneLeft();
  if (text == "3") return Failed();
  return Known(std::string(text));
}

std::string NextEpisode::ToText() const {
  switch (stage_) {
    case Stage::Unresolved: return "0";
    case Stage::NoneLeft: return "1";
    case Stage::Failed: return "3";
    case Stage::Known: return value_;
  }
  return "0";
}

}  // namespace tavlin::state
