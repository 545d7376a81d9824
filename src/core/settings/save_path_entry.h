#pragma once
// The download folder's entry in the player's settings file, changed in place: the
// rest of the file belongs to the player and is kept byte for byte.
#include <optional>
#include <string>
#include <string_view>

namespace tavlin::settings {

// The entry's value as written (between the quotes of the first
// Defaultsavepath="..." that closes on its own line), or nothing.
std::optional<std::string> RawSavePathEntry(std::string_view xml);

// The text with every entry of the raw value found replaced by `folder`. A text
// without an entry gets one: a new settings element before the closing root tag,
// or a whole new file when the text is empty.
std::string WithSavePath(std::string_view xml, const std::string& folder);

// Why a folder cannot take downloads: "" when it can. The folder must be absolute,
// exist, be writable, and fit between the quotes of the entry.
std::string FolderProblem(const std::string& folder);

}  // namespace tavlin::settings
