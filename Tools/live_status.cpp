#include "live_status.h"

#include <algorithm>
#include <cmath>

#include "console.h"

std::string RenderProgress(int64_t done, int64_t total, int width) {
  const int64_t clamped = std::clamp<int64_t>(done, 0, std::max<int64_t>(total, 0));
  const int filled = total > 0 ? static_cast<int>(clamped * width / total) : width;
  return "[" + std::string(static_cast<size_t>(filled), '#') +
         std::string(static_cast<size_t>(width - filled), '.') + "] " + std::to_string(done) + "/" +
         std::to_string(total);
}

LiveStatus::LiveStatus(int64_t count) : count_(count), terminal_(ConsoleIsTerminal()) {}

void LiveStatus::Update(int64_t done, double elapsed_s, const GrabStats& stats) {
  const bool second_passed = elapsed_s >= static_cast<double>(next_second_);
  if (second_passed) {
    last_second_ =
        RatesOver(stats.grabbed() - tick_frames_, stats.bytes() - tick_bytes_, elapsed_s - tick_s_);
    tick_s_ = elapsed_s;
    tick_frames_ = stats.grabbed();
    tick_bytes_ = stats.bytes();
    next_second_ = static_cast<int64_t>(std::floor(elapsed_s)) + 1;
  }
  const std::string status = StatusLine(elapsed_s, stats, last_second_);
  if (terminal_) {
    ConsoleTransient((count_ > 0 ? RenderProgress(done, count_, 30) + "  " : "") + status);
  } else if (second_passed) {
    ConsoleWrite(status + "\n");
  }
}

void LiveStatus::Finish() {
  ConsoleEndTransient();
}
