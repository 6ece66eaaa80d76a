// hacq grab: open a camera with any open parameter, grab frames, save them
// as PNG files and summarise the run.
#include <cstdio>

#include "command_support.h"
#include "grab_run.h"
#include "host_session.h"
#include "literal_value.h"
#include "open_options.h"
#include "value_typing.h"
#include "result_output.h"

namespace {

const char kUsage[] =
    "usage: hacq grab [OPTIONS]\n"
    "Opens a camera, grabs frames and writes each as a PNG file (gray, or the\n"
    "red, green and blue planes as one colour image) named DEVICE_NNNN.png.\n"
    "Open parameters (each defaults as the host does):\n"
    "  --device D                 camera key, name without spaces, \"default\", \"0\"\n"
    "  --color-space S            default, gray or rgb\n"
    "  --generic TEXT             e.g. num_buffers=4; may be repeated\n"
    "  --horizontal-resolution N  --vertical-resolution N\n"
    "  --image-width N  --image-height N  --start-row N  --start-column N\n"
    "  --field F  --bits-per-channel N  --external-trigger B  --camera-type T\n"
    "  --port N  --line-in N\n"
    "Grabbing:\n"
    "  --set NAME=VALUE   set a parameter before grabbing; may be repeated\n"
    "  --count N          frames to grab (default 10)\n"
    "  --async            grab asynchronously (start once, then collect)\n"
    "  --volatile         deliver the interface's own buffers (gray only)\n"
    "  --trigger software send a software trigger for each frame\n"
    "  --out DIR          directory for the PNG files (default .)\n"
    "  --no-save          write no files\n"
    "  --json             the summary as one JSON object\n"
    "Ends with frames grabbed, failures by error code, frames per second (of\n"
    "the whole loop, saving included) and the time of each grab call (median\n"
    "and 99th percentile).  Exit status 0 only when every frame was grabbed\n"
    "and saved.\n";

std::vector<OptionRule> GrabOptionRules() {
  std::vector<OptionRule> rules = OpenOptionRules();
  rules.insert(rules.end(), {{"set", true},
                             {"count", true},
                             {"async", false},
                             {"volatile", false},
                             {"trigger", true},
                             {"out", true},
                             {"no-save", false},
                             {"json", false}});
  return rules;
}

// False with *error when the options contradict each other or do not parse.
bool BuildPlan(const ParsedArgs& parsed, GrabPlan* plan, std::string* error) {
  ApplyOpenOptions(parsed, &plan->open);
  for (const auto& text : parsed.All("set")) {
    std::string name;
    std::string value;
    if (!SplitAssignment(text, &name, &value, error)) return false;
    plan->settings.emplace_back(name, value);
  }
  if (parsed.Has("count")) {
    const auto count = ParseInteger(parsed.Last("count"));
    if (!count || *count < 1) {
      *error = "--count needs a whole number of at least 1";
      return false;
    }
    plan->count = *count;
  }
  if (parsed.Has("trigger")) {
    if (parsed.Last("trigger") != "software") {
      *error = "--trigger takes only 'software'";
      return false;
    }
    plan->software_trigger = true;
  }
  if (parsed.Has("no-save") && parsed.Has("out")) {
    *error = "--out and --no-save exclude each other";
    return false;
  }
  plan->async = parsed.Has("async");
  plan->volatile_mode = parsed.Has("volatile");
  plan->save = !parsed.Has("no-save");
  plan->out_dir = parsed.Last("out", ".");
  return true;
}

double FramesPerSecond(const GrabOutcome& outcome) {
  return outcome.seconds > 0 ? static_cast<double>(outcome.stats.grabbed()) / outcome.seconds : 0;
}

std::string Fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

std::string FailuresText(const GrabStats& stats) {
  if (stats.failures().empty()) return "none";
  std::string text;
  for (const auto& [code, count] : stats.failures()) {
    if (!text.empty()) text += ", ";
    text += std::to_string(code) + " x" + std::to_string(count) + " (" +
            hostlayer::Driver::ErrorText(code) + ")";
  }
  return text;
}

void PrintSummary(const GrabPlan& plan, const GrabOutcome& outcome) {
  const GrabStats& stats = outcome.stats;
  Out() << "grabbed " << stats.grabbed() << " of " << plan.count << " frames in "
            << Fixed(outcome.seconds, 2) << " s (" << Fixed(FramesPerSecond(outcome), 1)
            << " fps); grab time median " << Fixed(stats.MedianMs(), 2) << " ms, p99 "
            << Fixed(stats.P99Ms(), 2) << " ms; failures: " << FailuresText(stats) << "\n";
  if (!outcome.files.empty()) {
    Out() << "saved " << outcome.files.size() << " PNG files in " << plan.out_dir
              << " (first: " << outcome.files.front() << ")\n";
  }
}

void PrintSummaryJson(const GrabPlan& plan, const GrabOutcome& outcome) {
  const GrabStats& stats = outcome.stats;
  nlohmann::json failures = nlohmann::json::array();
  for (const auto& [code, count] : stats.failures()) {
    failures.push_back(
        {{"code", code}, {"count", count}, {"text", hostlayer::Driver::ErrorText(code)}});
  }
  PrintJson({{"device", ValueToJson(plan.open.device)},
             {"requested", plan.count},
             {"grabbed", stats.grabbed()},
             {"failures", failures},
             {"seconds", outcome.seconds},
             {"fps", FramesPerSecond(outcome)},
             {"grab_ms", {{"median", stats.MedianMs()}, {"p99", stats.P99Ms()}}},
             {"files", outcome.files}});
}

}  // namespace

int RunGrab(const CommandArgs& args) {
  ParsedArgs parsed;
  int exit_status = kExitOk;
  if (!ParseCommand(kUsage, args, GrabOptionRules(), &parsed, &exit_status)) return exit_status;
  if (!parsed.positionals().empty()) {
    return UsageError(kUsage, "unexpected argument '" + parsed.positionals()[0] + "'");
  }
  GrabPlan plan;
  std::string error;
  if (!BuildPlan(parsed, &plan, &error)) return UsageError(kUsage, error);

  hostlayer::Driver* driver = LoadInterface();
  if (driver == nullptr) return kExitFailure;
  GrabOutcome outcome;
  if (!RunGrabPlan(*driver, plan, &outcome)) return kExitFailure;
  if (parsed.Has("json")) {
    PrintSummaryJson(plan, outcome);
  } else {
    PrintSummary(plan, outcome);
  }
  return outcome.clean && outcome.stats.grabbed() == plan.count ? kExitOk : kExitFailure;
}
