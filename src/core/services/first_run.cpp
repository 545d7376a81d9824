#include "core/services/first_run.h"

#include "core/base/config.h"
#include "core/base/text.h"
#include "core/services/machine_id.h"

#include <vector>

namespace tavlin {

std::string MakeUserId(MachineInfo& machine) {
  std::string id = GetAdapterAddress(machine);
  if (id.empty()) id = MakeRandomUserId(machine);
  return id;
}

bool CreateFirstRunConfig(const std::string& file, MachineInfo& machine) {
  using namespace ini_keys;
  // One rewrite of the file for all the keys (each rewrite waits for the disk): a
  // fault loses them together, and the repair that follows at every start puts back
  // the keys it looks after.
  const IniValue values[] = {
      {kProductName, "Tavlin"},
      {kUserId, MakeUserId(machine)},
      {kSkin, "0"},
      {kVersion, "3.0"},
      {kCloseAsk, "3"},
      {kCloseAction, "2"},
      {kCloseQvod, "2"},
      {kSaveSize, "2"},
      {kSavedWidth, "13560"},
      {kSavedHeight, "8475"},
      {kPrefetchNext, "2"},
      {kPlayNext, "2"},
      {kRecordPosition, "2"},
      {kQvodAtStart, "2"},
      {kBalloons, "2"},
  };
  return WriteIni(file, values);
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

  std::vector<IniValue> repairs;
  if (userId == "0" || userId.empty()) repairs.push_back({kUserId, MakeUserId(machine)});
  if (version != "3.0") repairs.push_back({kVersion, "3.0"});
  if (ts != 1 && ts != 2) repairs.push_back({kCloseAsk, "3"});
  for (const Key& k : keys) {
    if (k.value == 0) repairs.push_back({k.key, k.def});
  }
  // A file with nothing to repair is left as it is.
  return WriteIni(file, repairs);
}

}  // namespace tavlin
