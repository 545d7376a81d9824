#pragma once
#include <optional>
#include <string>

namespace tavlin {

// The whole file as bytes, or nothing when it cannot be opened.
std::optional<std::string> ReadWholeFile(const std::string& path);
// Replaces the file in one step: the bytes go to a temporary file beside it, which
// is flushed to disk and renamed over the old one, so a crash leaves either the old
// or the new content, never a torn file. False when anything failed (the old file
// then stays as it was).
[[nodiscard]] bool WriteFileAtomically(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);
// Removes what writes of the program's own files left behind when the program was
// killed midway (older than a minute, so a write under way is left alone); returns
// how many went.
int RemoveStaleTemporaries(const std::string& folder);
// Whether a new file can be made in the folder (tried, then removed).
bool CanWriteIn(const std::string& folder);

}  // namespace tavlin
