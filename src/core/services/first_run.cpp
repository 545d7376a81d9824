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
  bool ok = WriteIni(file, ini_keys::kProductName, "Tavlin");
  ok = WriteIni(file, ini_keys::kUserId, userId) && ok;
  ok = WriteIni(file, ini_keys::kSkin, "0") && ok;
  ok = WriteIni(file, ini_keys::kVersion, "3.0") && ok;
  using namespace ini_keys;
  static const std::pair<IniKey, const char*> kFlags[] = {
      {kCloseAsk, "3"},       {kCloseAction, "2"},    {kCloseQvod, "2"},    {kSaveSize, "2"},
      {kSavedWidth, "13560"}, {kSavedHeight, "8475"}, {kPrefetchNext, "2"}, {kPlayNext, "2"},
      {kRecordPosition, "2"}, {kQvodAtStart, "2"},    {kBalloons, "2"},
  };
  for (const auto& [key, value] : kFlags) ok = WriteIni(file, key, value) && ok;
  return ok;
}

bool RepairConfig(const std::string& file, MachineInfo& machine) {
  using namespace ini_keys;
  const std::string userId = ReadIni(file, kUserId);
  const std::string version = ReadIni(file, kVersion);
  const int ts = ToNumber(ReadIni(file, kCloseAsk));

  // Read everything first, then write, in the order the keys are repaired.
  struct Key {
    IniKey key;
    const char* def;
    int value;
  };
  Key keys[] = {
      {kCloseAction, "2", 0},    {kCloseQvod, "2", 0},    {kSaveSize, "2", 0}, {kSavedWidth, "13560", 0},
      {kSavedHeight, "8475", 0}, {kPrefetchNext, "2", 0}, {kPlayNext, "2", 0}, {kRecordPosition, "2", 0},
      {kQvodAtStart, "2", 0},    {kBalloons, "2", 0},
  };
  for (Key& k : keys) k.value = ToNumber(ReadIni(file, k.key));

  bool ok = true;
  if (userId == "0" || userId.empty()) ok = WriteIni(file, kUserId, MakeUserId(machine)) && ok;
  if (version != "3.0") ok = WriteIni(file, kVersion, "3.0") && ok;
  if (ts != 1 && ts != 2) ok = WriteIni(file, kCloseAsk, "3") && ok;
  for (const Key& k : keys) {
    if (k.value == 0) ok = WriteIni(file, k.key, k.def) && ok;
  }
  return ok;
}

}  // namespace tavlin
