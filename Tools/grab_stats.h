// What a grab run measured: frames grabbed and their bytes, failures by
// host code, images that could not be saved, and the time each successful
// grab call took.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "host.h"

class GrabStats {
 public:
  // bytes: of the delivered images, every plane.
  void AddFrame(double grab_ms, int64_t bytes) {
    grab_ms_.push_back(grab_ms);
    bytes_ += bytes;
  }
  void AddFailure(Herror code) { ++failures_[code]; }
  void AddSaveFailure() { ++save_failures_; }

  int64_t grabbed() const { return static_cast<int64_t>(grab_ms_.size()); }
  int64_t bytes() const { return bytes_; }
  int64_t failed() const;
  const std::map<Herror, int64_t>& failures() const { return failures_; }
  int64_t save_failures() const { return save_failures_; }
  // Of the successful grabs; 0 when there were none.
  double MedianMs() const { return Median(grab_ms_); }
  double P99Ms() const { return Percentile(grab_ms_, 99.0); }

  // The middle sample, or the mean of the two middle ones; 0 when empty.
  static double Median(std::vector<double> samples);
  // Nearest rank: the smallest sample that at least p percent of all
  // samples do not exceed; 0 when empty.
  static double Percentile(std::vector<double> samples, double p);

 private:
  std::vector<double> grab_ms_;
  int64_t bytes_ = 0;
  std::map<Herror, int64_t> failures_;
  int64_t save_failures_ = 0;
};
