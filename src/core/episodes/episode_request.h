#pragma once
// The episode request: the portal says where one episode of a series plays. Every
// road that asks (a play link, the previous/next buttons, the search for the next
// episode) reads the answer through this one place.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "core/base/endpoints.h"
#include "platform/http_client.h"

namespace tavlin::episodes {

// A bigger answer is cut off by the client and is no answer the portal means.
inline constexpr std::size_t kMaxAnswerBytes = 64 * 1024;

// Fields split at sep; a field the text lacks reads as empty.
struct Fields {
  Fields(const std::string& text, const std::string& sep);
  const std::string& operator[](std::size_t i) const;
  std::vector<std::string> parts;
};

// id "-" source "-" index "-" title: the portal item playing, as the program keeps it.
struct EpisodeKey {
  std::string id, source, index, title;
  static EpisodeKey Parse(const std::string& key) {
    const Fields f(key, "-");
    return {f[0], f[1], f[2], f[3]};
  }
  std::string Text() const { return id + "-" + source + "-" + index + "-" + title; }
};

struct EpisodeAnswer {
  enum class Kind {
    NoSuchEpisode,  // "1": the series has no such episode
    NoResult,       // "0": nothing yet, ask again later
    Found,          // label "$" address "$" kind
    Failed,         // anything else, or no answer
  };
  Kind kind = Kind::Failed;
  bool answered = false;  // the portal answered at all
  std::string text;       // the answer, blanks at its ends removed
  std::string label, address, playerKind;

  bool found() const { return kind == Kind::Found; }
};

// The answer's meaning; nullopt is no answer.
EpisodeAnswer ReadEpisodeAnswer(const std::optional<std::string>& body);

// The play link of an episode: "eeqvod://" kind "&&&" escape(address) "&&&" title
// "&&&" episode "&&&" id "&&&" source "&&&" index.
std::string PlayLink(const std::string& kind, const std::string& address, const std::string& title,
                     const std::string& episode, const std::string& id, const std::string& source,
                     const std::string& index);

class EpisodeRequests {
 public:
  EpisodeRequests(HttpClient& http, const Portal& portal) : http_(http), portal_(portal) {}
  // Blocks until the portal answers or the client gives up.
  EpisodeAnswer Ask(const std::string& id, const std::string& source, const std::string& index);

 private:
  HttpClient& http_;
  const Portal& portal_;
};

}  // namespace tavlin::episodes
