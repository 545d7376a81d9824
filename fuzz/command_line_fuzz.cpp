// Command-line text as a local list record: a path the list accepts comes back from
// the list exactly, on the first line, with its name and a position of 0.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/base/text.h"
#include "core/lists/list_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path(reinterpret_cast<const char*>(data), size);
  if (!tavlin::FitsLocalList(path)) return 0;
  const std::string name = tavlin::FileNameOf(path);
  if (name.find('|') != std::string::npos) std::abort();
  const std::string list = tavlin::AddLocalRecord("old|/old|5\r\n", name + "|" + path + "|0", path);
  const auto fields = tavlin::Split(tavlin::ReadListLines(list).front(), "|");
  if (fields.size() != 3 || fields[0] != name || fields[1] != path || fields[2] != "0") std::abort();
  // Adding it again keeps one record of it.
  const std::string again = tavlin::AddLocalRecord(list, name + "|" + path + "|0", path);
  if (tavlin::ReadListLines(again).size() != tavlin::ReadListLines(list).size()) std::abort();
  return 0;
}
