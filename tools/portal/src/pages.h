// HTML pages of the demo portal, rendered from the catalogue.
#pragma once

#include <string>

#include "catalogue.h"
#include "media.h"

namespace portal {

struct PageContext {
  const Catalogue& catalogue;
  const MediaLibrary& media;
  std::string origin;  // http://127.0.0.1:PORT
};

// The play link of one episode, as the program expects to read it from href.
std::string play_link(const Item& item, int source, int index);
// The play link with a known address, for a "qvod" item whose clip exists.
std::string known_address_link(const PageContext& ctx, const Item& item, int source, int index);

std::string home_page(const PageContext& ctx);
// section is "tv" or "yy".
std::string section_page(const PageContext& ctx, const std::string& section);
// query: id "-" source "-" index "-" title "-" autostart, as received.
std::string episode_page(const PageContext& ctx, const std::string& query);
// query: id "-" source "-" index "-" title, as received.
std::string player_page(const PageContext& ctx, const std::string& query);
std::string hits_page(const std::string& id, int count);
std::string error_page(int status);
// What a broken server script sends with status 200.
std::string asp_error_page();

}  // namespace portal
