// Console output plus, at the end, each conversion's time divided by the
// yardsticks measured in the same run.  Runs are named "<case>/<variant>";
// every variant is compared with the "memcpy" and "opencv" runs of its case.
// Ratios use the medians of repeated runs and CPU time, which on a shared
// machine leaves out the time the thread waited for a core.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>

namespace pixvane_bench {

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override;
  void Finalize() override;

 private:
  std::map<std::string, std::map<std::string, double>> seconds_;  // case -> variant -> s
};

// The body of a benchmark program's main once its benchmarks are
// registered: runs them with the ratio table at the end.
int RunWithRatios(int argc, char** argv);

}  // namespace pixvane_bench
