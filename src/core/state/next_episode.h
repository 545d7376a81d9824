#pragma once
// What is known of the next episode of the series playing. The program stores and
// shows it as it always did ("0" nothing yet, "1" there is none, "3" the search
// failed, otherwise the play link or address itself); its own code asks the stage.
#include <string>
#include <string_view>

namespace tavlin::state {

class NextEpisode {
 public:
  enum class Stage {
    Unresolved,  // "0": not looked for yet, or to be asked again
    NoneLeft,    // "1": the series ends with the item playing
    Failed,      // "3": the portal gave no usable answer; a retry is armed
    Known,       // the play link (or the address to buffer)
  };

  NextEpisode() = default;
  static NextEpisode NoneLeft() { return NextEpisode(Stage::NoneLeft, {}); }
  static NextEpisode Failed() { return NextEpisode(Stage::Failed, {}); }
  static NextEpisode Known(std::string value) { return NextEpisode(Stage::Known, std::move(value)); }
  // The stored form read back; "" counts as nothing known.
  static NextEpisode FromText(std::string_view text);

  Stage stage() const { return stage_; }
  bool known() const { return stage_ == Stage::Known; }
  // The link or address; empty unless known.
  const std::string& value() const { return value_; }
  // The stored and shown form.
  std::string ToText() const;

  bool operator==(const NextEpisode&) const = default;

 private:
  NextEpisode(Stage stage, std::string value) : stage_(stage), value_(std::move(value)) {}
  Stage stage_ = Stage::Unresolved;
  std::string value_;
};

}  // namespace tavlin::state
