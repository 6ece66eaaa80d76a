// A one-line progress bar on standard error, drawn only when standard error
// is a terminal, so logs and pipes never receive carriage returns.
#pragma once

#include <cstdint>
#include <string>

// "[#####.....] 5/10": the bar is `width` characters between the brackets.
std::string RenderProgress(int64_t done, int64_t total, int width);

class ProgressBar {
 public:
  explicit ProgressBar(int64_t total);
  void Update(int64_t done);
  // Clears the line, so what follows starts on a clean line.
  void Finish();

 private:
  int64_t total_;
  bool enabled_;
  bool drawn_ = false;
};
