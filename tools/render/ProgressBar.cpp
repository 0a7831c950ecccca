#include "ProgressBar.h"

#include <cstdio>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

bool ProgressBar::StderrIsTerminal() {
#ifdef _WIN32
  return _isatty(_fileno(stderr)) != 0;
#else
  return isatty(fileno(stderr)) != 0;
#endif
}

ProgressBar::ProgressBar()
    : mEnabled(StderrIsTerminal()), mStart(std::chrono::steady_clock::now()), mLastDraw(mStart) {}

void ProgressBar::Update(int64_t done, int64_t total) {
  if (!mEnabled || total <= 0) return;
  const auto now = std::chrono::steady_clock::now();
  if (now - mStart < std::chrono::milliseconds(500)) return;
  if (mShown && now - mLastDraw < std::chrono::milliseconds(100) && done < total) return;
  mLastDraw = now;
  mShown = true;
  constexpr int kWidth = 40;
  const double fraction = done >= total ? 1.0 : static_cast<double>(done) / total;
  const int filled = static_cast<int>(fraction * kWidth);
  char bar[kWidth + 1];
  for (int i = 0; i < kWidth; ++i)
    bar[i] = i < filled ? '#' : '-';
  bar[kWidth] = '\0';
  std::fprintf(stderr, "\r[%s] %3d%%", bar, static_cast<int>(fraction * 100.0));
  std::fflush(stderr);
}

void ProgressBar::Finish() {
  if (!mShown) return;
  std::fprintf(stderr, "\r%60s\r", "");
  std::fflush(stderr);
  mShown = false;
}
