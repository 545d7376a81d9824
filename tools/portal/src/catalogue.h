// The items the demo portal offers, read from the catalogue text built into it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace portal {

struct Item {
  int id = 0;
  std::string title;     // raw UTF-8, as shown on the pages
  std::string category;  // 电视剧, 电影, 动漫, 综艺
  std::string area;
  std::string year;
  std::string kind;          // "qvod" or the page player's kind
  std::string stem;          // clips are stem-NN.mp4
  std::vector<int> sources;  // episode count of source 1, 2, ...
  int seconds = 10;
  std::string colour_top;
  std::string colour_bottom;
  std::string cast;
  std::vector<std::string> flags;
  std::string synopsis;

  bool has_flag(std::string_view flag) const;
  bool is_film() const { return category == "电影"; }
  // Episode count of a 1-based source, 0 when there is no such source.
  int episodes(int source) const;
  int most_episodes() const;
  std::string clip_name(int index) const;
  std::string label(int index) const;
};

class Catalogue {
 public:
  // Parses the catalogue text; throws std::runtime_error naming the bad line.
  static Catalogue parse(std::string_view text);
  // The catalogue compiled into the program.
  static const Catalogue& builtin();

  const std::vector<Item>& items() const { return items_; }
  const Item* find(long id) const;
  // Every clip file the catalogue names, each once.
  std::vector<std::string> clip_names() const;

 private:
  std::vector<Item> items_;
};

}  // namespace portal
