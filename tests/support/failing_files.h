#pragma once
// A failing device under the program's files. The test binary is linked so that the
// system calls behind every atomic write (mkstemp, rename) come here first; armed,
// they fail as on a read-only or broken disk, and otherwise they pass through.
namespace tavlin::testing {

class FailingFiles {
 public:
  FailingFiles() = default;
  ~FailingFiles() { Heal(); }
  FailingFiles(const FailingFiles&) = delete;
  FailingFiles& operator=(const FailingFiles&) = delete;

  // No new file can be made: a read-only folder.
  void RefuseNewFiles();
  // Files are written but never replace the old ones: a broken disk.
  void RefuseReplacing();
  void Heal();
  // How many calls were refused since the device was armed.
  int refused() const;
};

}  // namespace tavlin::testing
