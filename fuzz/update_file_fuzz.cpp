// Any bytes as the portal's update file: parsing must not crash, keeps at most four
// notices, and a version taken for a number holds no line break.
// The save-path rewrite is exercised on the same bytes: a folder written into any
// text reads back as that folder.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/base/text.h"
#include "core/player/player_settings.h"
#include "core/settings/save_path_entry.h"
#include "core/update/update_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tavlin;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (const auto file = update::ParseUpdateFile(text)) {
    if (file->notices && update::ParseNotices(*file->notices).size() > update::kMaxNotices) std::abort();
    if (file->version) {
      const std::string version = update::CleanVersion(*file->version);
      if (update::IsNonZeroNumber(version) && Trim(version).find_first_of("\r\n") != std::string::npos) std::abort();
    }
    (void)update::SwitchOn(file->floatingAd);
  }
  const std::string rewritten = settings::WithSavePath(text, "/fuzz/new folder/");
  if (player::SavePathFrom(rewritten, "/fallback/") != "/fuzz/new folder/") std::abort();
  return 0;
}
