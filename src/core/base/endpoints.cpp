#include "core/base/endpoints.h"

#include <cstdlib>

namespace tavlin {

std::string DefaultPortalBase() {
  if (const char* env = std::getenv("TAVLIN_PORTAL"); env && *env) return env;
  return "http://127.0.0.1:47300/soft/";
}

}  // namespace tavlin
