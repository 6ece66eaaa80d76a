// The texts of a grab run: the status line shown while it runs, and the
// summary at its end as text or JSON.  A rate needs two frames and a grab
// time one, so with fewer the summary says so instead of showing numbers.
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "grab_plan.h"
#include "grab_stats.h"

struct Rates {
  double fps = 0;
  double mb_per_s = 0;  // megabytes of 10^6 bytes
};
Rates RatesOver(int64_t frames, int64_t bytes, double seconds);

// "failures: none", "failures: 5306 x2" (with_texts: and the host's text of
// each code), then ", save failures: N" when an image was not saved.
std::string FailuresText(const GrabStats& stats, bool with_texts);

// "[3 s] 48 frames, 16.0 fps, 80.2 MB/s, failures: none", the rates those
// of the last second, left out before the first second has passed.
std::string StatusLine(double elapsed_s, const GrabStats& stats,
                       const std::optional<Rates>& last_second);

// The summary line, ending in '\n'.
std::string SummaryText(const GrabPlan& plan, const GrabOutcome& outcome);
nlohmann::json SummaryJson(const GrabPlan& plan, const GrabOutcome& outcome);
