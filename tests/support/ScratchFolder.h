#pragma once

#include <filesystem>
#include <string>

// A folder of the running test's own under the system's temporary folder,
// removed with everything in it when the object goes. CTest runs test cases
// as separate processes side by side, so the name is created atomically and
// can never be one that another process (or another object here) holds.
class ScratchFolder {
public:
  explicit ScratchFolder(const std::string& prefix = "tolven-test");
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& Path() const { return mPath; }
  std::filesystem::path File(const std::string& name) const { return mPath / name; }

private:
  std::filesystem::path mPath;
};
