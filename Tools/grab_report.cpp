#include "grab_report.h"

#include <cmath>
#include <cstdio>

#include "interruption.h"
#include "literal_value.h"

namespace {

constexpr double kBytesPerMegabyte = 1e6;

std::string Fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

std::string Frames(int64_t count) {
  return std::to_string(count) + (count == 1 ? " frame" : " frames");
}

std::string RatesText(const Rates& rates) {
  return Fixed(rates.fps, 1) + " fps, " + Fixed(rates.mb_per_s, 1) + " MB/s";
}

// What the run's figures allow to be said about its speed.
std::string SpeedText(const GrabOutcome& outcome) {
  const GrabStats& stats = outcome.stats;
  if (stats.grabbed() == 0) return "no frame: no rate or grab time";
  if (stats.grabbed() == 1) {
    return "one frame: no rate; grab time " + Fixed(stats.MedianMs(), 2) + " ms";
  }
  return RatesText(RatesOver(stats.grabbed(), stats.bytes(), outcome.seconds)) +
         "; grab time median " + Fixed(stats.MedianMs(), 2) + " ms, p99 " +
         Fixed(stats.P99Ms(), 2) + " ms";
}

}  // namespace

Rates RatesOver(int64_t frames, int64_t bytes, double seconds) {
  if (seconds <= 0) return {};
  return {static_cast<double>(frames) / seconds,
          static_cast<double>(bytes) / kBytesPerMegabyte / seconds};
}

std::string FailuresText(const GrabStats& stats, bool with_texts) {
  std::string text;
  for (const auto& [code, count] : stats.failures()) {
    text += (text.empty() ? "" : ", ") + std::to_string(code) + " x" + std::to_string(count);
    if (with_texts) text += " (" + hostlayer::Driver::ErrorText(code) + ")";
  }
  text = "failures: " + (text.empty() ? std::string("none") : text);
  if (stats.save_failures() > 0) {
    text += ", save failures: " + std::to_string(stats.save_failures());
  }
  return text;
}

std::string StatusLine(double elapsed_s, const GrabStats& stats,
                       const std::optional<Rates>& last_second) {
  return "[" + std::to_string(static_cast<int64_t>(std::floor(elapsed_s))) + " s] " +
         Frames(stats.grabbed()) + (last_second ? ", " + RatesText(*last_second) : "") + ", " +
         FailuresText(stats, false);
}

std::string SummaryText(const GrabPlan& plan, const GrabOutcome& outcome) {
  const GrabStats& stats = outcome.stats;
  std::string text =
      "grabbed " + (plan.count > 0 ? std::to_string(stats.grabbed()) + " of " + Frames(plan.count)
                                   : Frames(stats.grabbed()));
  if (stats.grabbed() > 0) {
    text += " (" + Fixed(static_cast<double>(stats.bytes()) / kBytesPerMegabyte, 1) + " MB)";
  }
  text += " in " + Fixed(outcome.seconds, 2) + " s; " + SpeedText(outcome) + "; " +
          FailuresText(stats, true);
  if (outcome.interrupted_by != 0) {
    text += "; interrupted by " + std::string(SignalName(outcome.interrupted_by));
  }
  return text + "\n";
}

nlohmann::json SummaryJson(const GrabPlan& plan, const GrabOutcome& outcome) {
  const GrabStats& stats = outcome.stats;
  nlohmann::json failures = nlohmann::json::array();
  for (const auto& [code, count] : stats.failures()) {
    failures.push_back(
        {{"code", code}, {"count", count}, {"text", hostlayer::Driver::ErrorText(code)}});
  }
  const bool has_rate = stats.grabbed() >= 2;
  const Rates rates = RatesOver(stats.grabbed(), stats.bytes(), outcome.seconds);
  return {
      {"device", ValueToJson(plan.open.device)},
      {"camera", outcome.camera},
      {"requested", plan.count > 0 ? nlohmann::json(plan.count) : nlohmann::json()},
      {"duration", plan.duration_s > 0 ? nlohmann::json(plan.duration_s) : nlohmann::json()},
      {"grabbed", stats.grabbed()},
      {"bytes", stats.bytes()},
      {"failures", failures},
      {"save_failures", stats.save_failures()},
      {"seconds", outcome.seconds},
      {"fps", has_rate ? nlohmann::json(rates.fps) : nlohmann::json()},
      {"mb_per_s", has_rate ? nlohmann::json(rates.mb_per_s) : nlohmann::json()},
      {"grab_ms", stats.grabbed() > 0
                      ? nlohmann::json{{"median", stats.MedianMs()}, {"p99", stats.P99Ms()}}
                      : nlohmann::json()},
      {"files", outcome.files},
      {"interrupted", outcome.interrupted_by != 0
                          ? nlohmann::json(SignalName(outcome.interrupted_by))
                          : nlohmann::json()},
  };
}
