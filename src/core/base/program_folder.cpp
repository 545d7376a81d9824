#include "core/base/program_folder.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace tavlin {
namespace {

std::string WithoutTrailingSlash(std::string dir) {
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  return dir;
}

// Installed under a prefix (bin/ beside share/ with the desktop entry), the
// executable's folder is the system's, never the user's: even a root that may write
// there must not leave settings in it.
bool InstalledUnderPrefix(const std::string& executableDir) {
  std::error_code ec;
  return std::filesystem::exists(executableDir + "/../share/applications/" + kDesktopEntryName, ec);
}

}  // namespace

ProgramFolder LocateProgramFolder(const std::string& executableDir) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (const char* home = std::getenv("TAVLIN_HOME"); home && *home) {
    fs::create_directories(home, ec);
    return {WithoutTrailingSlash(home)};
  }
  if (!executableDir.empty() && ::access(executableDir.c_str(), W_OK) == 0 && !InstalledUnderPrefix(executableDir)) {
    return {WithoutTrailingSlash(executableDir)};
  }
  std::string base;
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) {
    base = xdg;
  } else if (const char* userHome = std::getenv("HOME"); userHome && *userHome) {
    base = std::string(userHome) + "/.local/share";
  } else {
    base = "/tmp";
  }
  const std::string dir = WithoutTrailingSlash(base) + "/tavlin";
  fs::create_directories(dir, ec);
  return {dir};
}

}  // namespace tavlin
