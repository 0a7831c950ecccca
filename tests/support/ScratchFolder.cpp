#include "ScratchFolder.h"

#include <gtest/gtest.h>

#include <random>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

long ProcessId() {
#ifdef _WIN32
  return _getpid();
#else
  return static_cast<long>(getpid());
#endif
}

} // namespace

ScratchFolder::ScratchFolder(const std::string& prefix) {
  std::error_code ec;
  const fs::path base = fs::temp_directory_path(ec);
  // The process id keeps names apart between processes, the random part
  // between runs that reuse an id; create_directory refusing an existing
  // folder settles any collision left.
  std::random_device entropy;
  std::mt19937_64 random(entropy());
  const std::string stem = prefix + "-" + std::to_string(ProcessId()) + "-";
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path candidate = base / (stem + std::to_string(random() % 100000000u));
    if (fs::create_directory(candidate, ec)) {
      mPath = candidate;
      return;
    }
  }
  ADD_FAILURE() << "cannot create a scratch folder under " << base << ": " << ec.message();
}

ScratchFolder::~ScratchFolder() {
  if (mPath.empty()) return;
  std::error_code ignored;
  fs::remove_all(mPath, ignored);
}
