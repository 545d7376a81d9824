#pragma once
// Every portal address the program forms. Each is PortalBase followed by a fixed
// path, joined as plain text: a path that starts with "/" gives a doubled slash,
// and the portal is asked exactly that way.
#include <string>

#include "core/base/text.h"

namespace tavlin {

// TAVLIN_PORTAL when set, else the demo portal on this machine.
std::string DefaultPortalBase();

struct Portal {
  std::string base;  // ends in "/soft/"

  std::string Home() const { return base; }
  std::string HomeAgain() const { return base + "?30"; }
  std::string Section(const std::string& path) const { return base + path; }  // "/tv", "/yy"
  // The fields come from pages: each stays one value of the query.
  std::string EpisodeRequest(const std::string& id, const std::string& source, const std::string& index) const {
    return base + "h.asp?id=" + PercentEncode(id) + "&v=" + PercentEncode(source) + "&v1=" + PercentEncode(index);
  }
  std::string EpisodePage(const std::string& spec) const { return base + "pp.htm?" + spec; }
  std::string PagePlayer(const std::string& spec) const { return base + "play.htm?" + spec; }
  // The id comes from config.ini, which the user may edit: it stays one value.
  std::string Stats(const std::string& userId) const { return base + "tj/tj.asp?id=" + PercentEncode(userId); }
  std::string BannerAd() const { return base + "js/ads/softad.html"; }
  std::string PlayerAd() const { return base + "js/ads/qvodad.html"; }
  std::string FloatingAd() const { return base + "/js/ads/fudong.html"; }
  std::string UpdateFile() const { return base + "lib/wen.txt"; }
  std::string Setup() const { return base + "update/setup.exe"; }
  std::string Updater() const { return base + "update/update.exe"; }
};

}  // namespace tavlin
