#pragma once
#include <optional>
#include <string>

namespace tavlin {

enum class Answer { Yes, No, Ok, Cancel };

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // A question with Yes and No buttons and a question icon. Cancel when the user
  // dismissed it without answering (Esc, the window's close button).
  virtual Answer AskYesNo(const std::string& text, const std::string& title) = 0;
  // A message with an OK button.
  virtual void Inform(const std::string& text, const std::string& title) = 0;
  // Open-file dialog; filter in the "description|pattern;pattern|..." form, the
  // first entry chosen. It opens on initialFolder when that exists.
  virtual std::optional<std::string> OpenFile(const std::string& title, const std::string& filter,
                                              const std::string& initialFolder) = 0;
  // The folder picker, opened on initialFolder when it exists; nothing when cancelled.
  virtual std::optional<std::string> BrowseFolder(const std::string& title, const std::string& initialFolder) = 0;
};

}  // namespace tavlin
