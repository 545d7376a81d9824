// Any bytes as config.ini: reading and writing must neither crash nor lose the
// lines the write did not touch.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/base/ini.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  tavlin::ProfileText text(bytes);
  for (const char* section : {"S_q", "user", "Skin", ""}) {
    for (const char* key : {"ts", "Name", "Num", ""}) {
      if (auto v = text.Get(section, key); v && v->size() > tavlin::kProfileValueLimit) std::abort();
    }
  }
  text.Set("S_q", "h_w", "13560");
  if (text.Get("s_q", "H_W") != std::optional<std::string>("13560")) std::abort();
  return 0;
}
