#pragma once
// QvodPlayer.xml, the player's settings file: where downloaded items are saved.
#include <string>
#include <string_view>

#include "core/base/program_folder.h"

namespace tavlin::player {

// Relative to the program folder.
inline constexpr const char* kPlayerSettingsFile = "Qvod/QvodPlayer.xml";

// The settings file the player reads: in the player's own folder (S_q/qvodw) when
// that is an absolute path, else beside the program.
std::string PlayerSettingsPath(const ProgramFolder& folder, const std::string& qvodFolder);
// "<home>/Media/": the save folder when the settings name none.
std::string DefaultSavePath(std::string_view home);
// DefaultSavePath of the user's home ($HOME).
std::string HomeSavePath();

// The file as it is first written, naming `savePath`.
std::string DefaultPlayerSettings(const std::string& savePath);

// The text between the quotes of the first line holding `Defaultsavepath="`, trimmed,
// with backslashes turned into slashes (an older settings file may keep the Windows
// form). `fallback` when there is no such line, no closing quote on it, or the value
// is not an absolute path. Always ends in "/".
std::string SavePathFrom(std::string_view xmlText, const std::string& fallback);

// SavePathFrom on the file at `path`, `fallback` when it cannot be read. Never
// creates or changes the file.
std::string ReadSavePath(const std::string& path, const std::string& fallback);

// Writes DefaultPlayerSettings(savePath) at `path`, with its folder, unless a file is
// there already. False when it was missing and could not be written.
bool WritePlayerSettingsIfMissing(const std::string& path, const std::string& savePath);

}  // namespace tavlin::player
