#include "core/services/first_run.h"

#include "core/base/config.h"
#include "core/base/text.h"
#include "core/services/machine_id.h"

namespace tavlin {

std::string MakeUserId(MachineInfo& machine) {
  std::string id = GetAdapterAddress(machine);
  if (id.empty()) id = MakeRandomUserId(machine);
  return id;
}

bool CreateFirstRunConfig(const std::string& file, MachineInfo& machine) {
  const std::string userId = MakeUserId(machine);
  // Every key is tried, so that a passing fault loses as little as it can.
  bool ok = WriteIni(file, "main", "Name", "Tavlin");
  ok = WriteIni(file, "User", "Name", userId) && ok;
  ok = WriteIni(file, "Skin", "Num", "0") && ok;
  ok = WriteIni(file, "Ver", "Name", "3.0") && ok;
  static const char* const kFlags[][2] = {
      {"ts", "3"},     {"quit", "2"}, {"qvodk", "2"}, {"s_size", "2"},
      {"h_w", "13560"}, {"h_h", "8475"}, {"s_h", "2"},   {"s_bo", "2"},
      {"s_jd", "2"},   {"qvodqi", "2"}, {"s_pao", "2"},
  };
  for (const auto& kv : kFlags) ok = WriteIni(file, "S_q", kv[0], kv[1]) && ok;
  return ok;
}

bool RepairConfig(const std::string& file, MachineInfo& machine) {
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

  bool ok = true;
  if (userId == "0" || userId.empty()) ok = WriteIni(file, "User", "Name", MakeUserId(machine)) && ok;
  if (version != "3.0") ok = WriteIni(file, "Ver", "Name", "3.0") && ok;
  if (ts != 1 && ts != 2) ok = WriteIni(file, "S_q", "ts", "3") && ok;
  for (const Key& k : keys) {
    if (k.value == 0) ok = WriteIni(file, "S_q", k.name, k.def) && ok;
  }
  return ok;
}

}  // namespace tavlin
