// Any text through unescape and escape: never a crash, always valid UTF-8 out, and
// escaping then unescaping valid text gives it back.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/base/text.h"
#include "core/base/utf.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::string plain = tavlin::UnescapeText(bytes);
  const std::string valid = tavlin::Utf16ToUtf8(tavlin::Utf8ToUtf16(plain));
  if (valid != plain) std::abort();
  if (tavlin::UnescapeText(tavlin::EscapeText(plain)) != plain) std::abort();
  tavlin::TruncateToWidth(bytes, 18);
  return 0;
}
