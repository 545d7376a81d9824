#include "support/failing_files.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

extern "C" int __real_mkstemp(char* pattern);
extern "C" int __real_rename(const char* from, const char* to);

namespace {
bool refuseCreate = false;
bool refuseRename = false;
int refusedCalls = 0;
}  // namespace

extern "C" int __wrap_mkstemp(char* pattern) {
  if (refuseCreate) {
    ++refusedCalls;
    errno = EROFS;
    return -1;
  }
  return __real_mkstemp(pattern);
}

extern "C" int __wrap_rename(const char* from, const char* to) {
  if (refuseRename) {
    ++refusedCalls;
    errno = EIO;
    return -1;
  }
  return __real_rename(from, to);
}

namespace tavlin::testing {

void FailingFiles::RefuseNewFiles() { refuseCreate = true; }
void FailingFiles::RefuseReplacing() { refuseRename = true; }
void FailingFiles::Heal() {
  refuseCreate = refuseRename = false;
  refusedCalls = 0;
}
int FailingFiles::refused() const { return refusedCalls; }

}  // namespace tavlin::testing
