#pragma once

#include <chrono>
#include <cstdint>

// A progress bar on stderr for long renders: drawn only when stderr is a
// terminal and the job has already taken half a second, so short jobs and
// redirected output stay clean.
class ProgressBar {
public:
  ProgressBar();
  void Update(int64_t done, int64_t total);
  // Clears the bar's line if one was drawn.
  void Finish();

  static bool StderrIsTerminal();

private:
  bool mEnabled;
  bool mShown = false;
  std::chrono::steady_clock::time_point mStart;
  std::chrono::steady_clock::time_point mLastDraw;
};
