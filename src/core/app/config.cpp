#include "core/app/config.h"

#include "core/app/ini.h"
#include "core/app/text.h"
#include "core/services/machine_id.h"

namespace tavlin {

std::string TrimAtNul(std::string_view text) {
  return std::string(text.substr(0, text.find('\0')));
}

std::string ReadIni(const std::string& file, std::string_view section, std::string_view key,
                    std::string_view def) {
  const auto value = ReadProfileString(file, section, key);
  // The profile reader copies the default when the key is missing; a present but
  // empty key copies nothing and so reads as "".
  const std::string copied = value ? *value : TrimAtNul(std::string(def).substr(0, kProfileValueLimit));
  if (copied.empty()) return {};
  return TrimAtNul(copied);
}

bool WriteIni(const std::string& file, std::string_view section, std::string_view key,
              std::string_view value) {
  return WriteProfileString(file, section, key, value);
}

std::string MakeUserId(MachineInfo& machine) {
  std::string id = GetAdapterAddress(machine);
  if (id.empty()) id = MakeRandomUserId(machine);
  return id;
}

void CreateFirstRunConfig(const std::string& file, MachineInfo& machine) {
  const std::string userId = MakeUserId(machine);
  WriteIni(file, "main", "Name", "Tavlin");
  WriteIni(file, "User", "Name", userId);
  WriteIni(file, "Skin", "Num", "0");
  WriteIni(file, "Ver", "Name", "3.0");
  static const char* const kFlags[][2] = {
      {"ts", "3"},     {"quit", "2"}, {"qvodk", "2"}, {"s_size", "2"},
      {"h_w", "13560"}, {"h_h", "8475"}, {"s_h", "2"},   {"s_bo", "2"},
      {"s_jd", "2"},   {"qvodqi", "2"}, {"s_pao", "2"},
  };
  for (const auto& kv : kFlags) WriteIni(file, "S_q", kv[0], kv[1]);
}

void RepairConfig(const std::string& file, MachineInfo& machine) {
  const std::string userId = ReadIni(file, "user", "Name");
  const std::string version = ReadIni(file, "ver", "Name");
  const int ts = ToNumber(ReadIni(file, "S_q", "ts"));

  // Read everything first, then write, in the order the keys are repaired.
  struct Key {
    const char* name;
    const char* def;
    int value;
  };
  Key keys[] = {
      {"quit", "2", 0},  {"qvodk", "2", 0}, {"s_size", "2", 0}, {"h_w", "13560", 0},
      {"h_h", "8475", 0}, {"s_h", "2", 0},   {"s_bo", "2", 0},   {"s_jd", "2", 0},
      {"qvodqi", "2", 0}, {"s_pao", "2", 0},
  };
  for (Key& k : keys) k.value = ToNumber(ReadIni(file, "S_q", k.name));

  if (userId == "0" || userId.empty()) WriteIni(file, "User", "Name", MakeUserId(machine));
  if (version != "3.0") WriteIni(file, "Ver", "Name", "3.0");
  if (ts != 1 && ts != 2) WriteIni(file, "S_q", "ts", "3");
  for (const Key& k : keys) {
    if (k.value == 0) WriteIni(file, "S_q", k.name, k.def);
  }
}

}  // namespace tavlin
