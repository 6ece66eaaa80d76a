#include "ratio_reporter.h"

#include <cstdio>

namespace pixvane_bench {

void RatioReporter::ReportRuns(const std::vector<Run>& runs) {
  ConsoleReporter::ReportRuns(runs);
  for (const Run& run : runs) {
    // With repetitions the median stands for the case; a single run for itself.
    const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
    const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
    if (!(median || single) || run.iterations == 0) continue;
    const std::string name = run.run_name.function_name;
    const auto slash = name.find('/');
    if (slash == std::string::npos) continue;
    const std::string variant = name.substr(slash + 1, name.find('/', slash + 1) - slash - 1);
    seconds_[name.substr(0, slash)][variant] =
        run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
  }
}

void RatioReporter::Finalize() {
  ConsoleReporter::Finalize();
  std::printf("\n%-28s %-10s %12s %12s\n", "case", "variant", "/ memcpy", "/ opencv");
  for (const auto& [name, variants] : seconds_) {
    const auto memcpy_it = variants.find("memcpy");
    const auto opencv_it = variants.find("opencv");
    for (const auto& [variant, seconds] : variants) {
      if (variant == "memcpy" || variant == "opencv") continue;
      std::printf("%-28s %-10s", name.c_str(), variant.c_str());
      if (memcpy_it != variants.end())
        std::printf(" %12.2f", seconds / memcpy_it->second);
      else
        std::printf(" %12s", "-");
      if (opencv_it != variants.end())
        std::printf(" %12.2f", seconds / opencv_it->second);
      else
        std::printf(" %12s", "-");
      std::printf("\n");
    }
  }
}

int RunWithRatios(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}

}  // namespace pixvane_bench
