#pragma once
#include <string>

namespace tavlin {

// Asks a web view of the main window, by its name ("Web3", "Web4"...), to show an
// address. The main window routes it through its own before-navigate handling.
class ViewNavigator {
 public:
  virtual ~ViewNavigator() = default;
  virtual void Navigate2(const std::string& view, const std::string& address) = 0;
};

}  // namespace tavlin
