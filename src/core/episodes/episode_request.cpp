#include "core/episodes/episode_request.h"

#include "core/base/text.h"

namespace tavlin::episodes {

Fields::Fields(const std::string& text, const std::string& sep) : parts(Split(text, sep)) {}

const std::string& Fields::operator[](std::size_t i) const {
  static const std::string kEmpty;
  return i < parts.size() ? parts[i] : kEmpty;
}

EpisodeAnswer ReadEpisodeAnswer(const std::optional<std::string>& body) {
  EpisodeAnswer a;
  if (!body) return a;
  a.answered = true;
  // A cut-off answer is garbage, whatever it happens to hold.
  if (body->size() > kMaxAnswerBytes) return a;
  // The portal's line end is not part of what it says.
  a.text = Trim(*body);
  if (a.text == "1") {
    a.kind = EpisodeAnswer::Kind::NoSuchEpisode;
  } else if (a.text == "0") {
    a.kind = EpisodeAnswer::Kind::NoResult;
  } else if (a.text.find('$') != std::string::npos) {
    const Fields f(a.text, "$");
    a.kind = EpisodeAnswer::Kind::Found;
    a.label = f[0];
    a.address = f[1];
    a.playerKind = f[2];
  }
  return a;
}

std::string PlayLink(const std::string& kind, const std::string& address, const std::string& title,
                     const std::string& episode, const std::string& id, const std::string& source,
                     const std::string& index) {
  return "eeqvod://" + kind + "&&&" + EscapeText(address) + "&&&" + title + "&&&" + episode + "&&&" + id + "&&&" +
         source + "&&&" + index;
}

EpisodeAnswer EpisodeRequests::Ask(const std::string& id, const std::string& source, const std::string& index) {
  return ReadEpisodeAnswer(http_.Get(portal_.EpisodeRequest(id, source, index)));
}

}  // namespace tavlin::episodes
