#pragma once
#include <string>

namespace tavlin {

// The folder that holds config.ini, the list files and the list pages.
struct ProgramFolder {
  std::string dir;  // no trailing "/"
  std::string File(const std::string& name) const { return dir + "/" + name; }
  std::string IniPath() const { return File("config.ini"); }
};

// The program's name on the desktop: its desktop entry, its software-centre
// component and its player on the session bus.
inline constexpr const char* kApplicationId = "org.tavlin.tavlin";
// The desktop entry an installation puts under <prefix>/share/applications.
inline constexpr const char* kDesktopEntryName = "org.tavlin.tavlin.desktop";

// TAVLIN_HOME when set; else the executable's folder when it is writable (a portable
// install) and not an installation's bin/; else $XDG_DATA_HOME/tavlin (or ~/.local/share/tavlin). The folder is
// created when missing.
ProgramFolder LocateProgramFolder(const std::string& executableDir);

}  // namespace tavlin
