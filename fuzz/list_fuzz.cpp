// Any bytes as a list file: every list operation and the page rendering must cope,
// and an add must always put the new record on the first line.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/lists/list_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::string added = tavlin::AddHistoryRecord(bytes, "7|t|e|a|1|2|0", 7);
  if (tavlin::ReadListLines(added).front() != "7|t|e|a|1|2|0") std::abort();
  if (tavlin::ReadListLines(added).size() > 102) std::abort();
  tavlin::AddLocalRecord(bytes, "n|/p|0", "/p");
  tavlin::SaveHistoryPositionIn(bytes, 7, 754);
  tavlin::SaveLocalPositionIn(bytes, "/p", 3);
  tavlin::DeleteLineIn(bytes, 2);
  tavlin::BuildListPage(bytes, false);
  tavlin::BuildListPage(bytes, true);
  return 0;
}
