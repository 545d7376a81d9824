#include "catalogue.h"

#include <algorithm>
#include <set>
#include <stdexcept>

#include "text.h"

extern const char* const kTavlinPortalCatalogue;

namespace portal {

bool Item::has_flag(std::string_view flag) const { return std::find(flags.begin(), flags.end(), flag) != flags.end(); }

int Item::episodes(int source) const {
  if (source < 1 || source > static_cast<int>(sources.size())) return 0;
  return sources[static_cast<size_t>(source - 1)];
}

int Item::most_episodes() const { return sources.empty() ? 0 : *std::max_element(sources.begin(), sources.end()); }

std::string Item::clip_name(int index) const {
  std::string number = std::to_string(index);
  if (number.size() < 2) number.insert(0, "0");
  return stem + "-" + number + ".mp4";
}

std::string Item::label(int index) const {
  if (most_episodes() == 1) return "正片";
  std::string number = std::to_string(index);
  if (number.size() < 2) number.insert(0, "0");
  return "第" + number + "集";
}

Catalogue Catalogue::parse(std::string_view text) {
  Catalogue catalogue;
  int line_number = 0;
  for (std::string line : tavlin::Split(text, "\n")) {
    ++line_number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line.front() == '#') continue;
    const auto fields = tavlin::Split(line, "|");
    auto fail = [&](const std::string& why) {
      throw std::runtime_error("catalogue line " + std::to_string(line_number) + ": " + why);
    };
    if (fields.size() != 13) fail("expected 13 fields");
    Item item;
    const auto id = parse_number(fields[0]);
    if (!id || *id <= 0) fail("bad id");
    item.id = static_cast<int>(*id);
    item.title = fields[1];
    item.category = fields[2];
    item.area = fields[3];
    item.year = fields[4];
    item.kind = fields[5];
    item.stem = fields[6];
    for (const auto& count : tavlin::Split(fields[7], ",")) {
      const auto n = parse_number(count);
      if (!n || *n < 1 || *n > 99) fail("bad episode count");
      item.sources.push_back(static_cast<int>(*n));
    }
    const auto seconds = parse_number(fields[8]);
    if (!seconds || *seconds < 1) fail("bad clip length");
    item.seconds = static_cast<int>(*seconds);
    const auto colours = tavlin::Split(fields[9], ",");
    if (colours.size() != 2) fail("expected two colours");
    item.colour_top = colours[0];
    item.colour_bottom = colours[1];
    item.cast = fields[10];
    if (!fields[11].empty()) item.flags = tavlin::Split(fields[11], ",");
    item.synopsis = fields[12];
    if (item.title.empty() || item.kind.empty() || item.stem.empty()) fail("empty title, kind or stem");
    if (catalogue.find(item.id)) fail("duplicate id");
    catalogue.items_.push_back(std::move(item));
  }
  return catalogue;
}

const Catalogue& Catalogue::builtin() {
  static const Catalogue catalogue = parse(kTavlinPortalCatalogue);
  return catalogue;
}

const Item* Catalogue::find(long id) const {
  for (const auto& item : items_)
    if (item.id == id) return &item;
  return nullptr;
}

std::vector<std::string> Catalogue::clip_names() const {
  std::vector<std::string> names;
  std::set<std::string> seen;
  for (const auto& item : items_)
    for (int i = 1; i <= item.most_episodes(); ++i)
      if (seen.insert(item.clip_name(i)).second) names.push_back(item.clip_name(i));
  return names;
}

}  // namespace portal
