#include "progress_bar.h"

#include <algorithm>
#include <cstdio>

#if defined(_WIN32)
#include <io.h>
#define HACQ_ISATTY _isatty
#define HACQ_FILENO _fileno
#else
#include <unistd.h>
#define HACQ_ISATTY isatty
#define HACQ_FILENO fileno
#endif

std::string RenderProgress(int64_t done, int64_t total, int width) {
  const int64_t clamped = std::clamp<int64_t>(done, 0, std::max<int64_t>(total, 0));
  const int filled = total > 0 ? static_cast<int>(clamped * width / total) : width;
  return "[" + std::string(static_cast<size_t>(filled), '#') +
         std::string(static_cast<size_t>(width - filled), '.') + "] " + std::to_string(done) + "/" +
         std::to_string(total);
}

ProgressBar::ProgressBar(int64_t total)
    : total_(total), enabled_(HACQ_ISATTY(HACQ_FILENO(stderr)) != 0) {}

void ProgressBar::Update(int64_t done) {
  if (!enabled_) return;
  std::fprintf(stderr, "\r%s", RenderProgress(done, total_, 30).c_str());
  std::fflush(stderr);
  drawn_ = true;
}

void ProgressBar::Finish() {
  if (!drawn_) return;
  std::fprintf(stderr, "\r%*s\r", 50, "");
  std::fflush(stderr);
}
