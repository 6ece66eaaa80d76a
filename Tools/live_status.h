// The live view of a grab run on the console (console.h).  On a terminal a
// transient line is redrawn after every grab: a progress bar when the run
// has a frame count, then the status line.  Elsewhere (a log, a pipe) a
// status line is written once a second, and never a carriage return.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "grab_report.h"
#include "grab_stats.h"

// "[#####.....] 5/10": the bar is `width` characters between the brackets.
std::string RenderProgress(int64_t done, int64_t total, int width);

class LiveStatus {
 public:
  // count: the run's frame count, 0 when it has none.
  explicit LiveStatus(int64_t count);
  // After each grab: `done` grabs so far, `elapsed_s` since the run began.
  void Update(int64_t done, double elapsed_s, const GrabStats& stats);
  void Finish();

 private:
  int64_t count_;
  bool terminal_;
  int64_t next_second_ = 1;  // the status line is due when it has passed
  double tick_s_ = 0;        // when the last second's figures began
  int64_t tick_frames_ = 0;
  int64_t tick_bytes_ = 0;
  std::optional<Rates> last_second_;
};
