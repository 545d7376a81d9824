#pragma once
// config.ini: the program's settings. Every reader goes to the file (nothing is
// cached), so a value written anywhere is seen by the next read everywhere.
#include <span>
#include <string>
#include <string_view>

namespace tavlin {

// One key of config.ini. Sections and keys match whatever their letter case, so
// "User" written and "user" read are the same.
struct IniKey {
  const char* section;
  const char* name;
};

// Every key of config.ini the program reads or writes, the one place their names
// are spelled. Flags of S_q hold "2" for on and "1" for off.
namespace ini_keys {
inline constexpr IniKey kProductName{"main", "Name"};
inline constexpr IniKey kUserId{"User", "Name"};
inline constexpr IniKey kSkin{"Skin", "Num"};
inline constexpr IniKey kVersion{"Ver", "Name"};
inline constexpr IniKey kCloseAsk{"S_q", "ts"};       // "3": ask at the next close
inline constexpr IniKey kCloseAction{"S_q", "quit"};  // "1": the close button quits
inline constexpr IniKey kCloseQvod{"S_q", "qvodk"};   // end the player's processes at exit
inline constexpr IniKey kSaveSize{"S_q", "s_size"};
inline constexpr IniKey kSavedWidth{"S_q", "h_w"};       // twips
inline constexpr IniKey kSavedHeight{"S_q", "h_h"};      // twips
inline constexpr IniKey kPrefetchNext{"S_q", "s_h"};     // look for and buffer the next episode
inline constexpr IniKey kPlayNext{"S_q", "s_bo"};        // play the next episode at the end
inline constexpr IniKey kRecordPosition{"S_q", "s_jd"};  // shown and stored only
inline constexpr IniKey kQvodAtStart{"S_q", "qvodqi"};   // "1": leave a running player alone
inline constexpr IniKey kBalloons{"S_q", "s_pao"};
inline constexpr IniKey kQvodFolder{"S_q", "qvodw"};  // never created by the program
inline constexpr IniKey kVolume{"S_q", "vol"};
}  // namespace ini_keys

// The value of the key; "" when the key is present but empty; def when the section
// or key (or the file) is missing. Cut at 254 bytes and at the first NUL.
std::string ReadIni(const std::string& file, std::string_view section, std::string_view key,
                    std::string_view def = "0");
// Writes one key; creates the file and the section when missing.
[[nodiscard]] bool WriteIni(const std::string& file, std::string_view section, std::string_view key,
                            std::string_view value);

std::string ReadIni(const std::string& file, IniKey key, std::string_view def = "0");
[[nodiscard]] bool WriteIni(const std::string& file, IniKey key, std::string_view value);

struct IniValue {
  IniKey key;
  std::string value;
};
// Several keys with one rewrite of the file: all of them or none.
[[nodiscard]] bool WriteIni(const std::string& file, std::span<const IniValue> values);

// The text before the first NUL, or all of it.
std::string TrimAtNul(std::string_view text);

}  // namespace tavlin
