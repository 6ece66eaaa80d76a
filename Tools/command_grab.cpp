// hacq grab: open a camera with any open parameter, grab frames, save them
// as PNG files and summarise the run.
#include "command_support.h"
#include "grab_report.h"
#include "grab_run.h"
#include "host_session.h"
#include "interface_output.h"
#include "interruption.h"
#include "literal_value.h"
#include "open_options.h"
#include "result_output.h"
#include "value_typing.h"

namespace {

const char kUsage[] =
    "usage: hacq grab [OPTIONS]\n"
    "Opens a camera, grabs frames and writes each as a PNG file (gray, or the\n"
    "red, green and blue planes as one colour image) named KEY_NNNN.png after\n"
    "the camera's key.\n"
    "Open parameters (each defaults as the host does):\n"
    "  --device D                 camera key, name without spaces, \"default\", \"0\"\n"
    "  --color-space S            default, gray or rgb\n"
    "  --generic TEXT             e.g. num_buffers=4; may be repeated\n"
    "  --horizontal-resolution N  --vertical-resolution N\n"
    "  --image-width N  --image-height N  --start-row N  --start-column N\n"
    "  --field F  --bits-per-channel N  --external-trigger B  --camera-type T\n"
    "  --port N  --line-in N\n"
    "Grabbing:\n"
    "  --set NAME=VALUE   set a parameter before grabbing; may be repeated; the\n"
    "                     value before is set back at the end of the run\n"
    "  --force            send --set values outside the range or value list too\n"
    "  --count N          frames to grab (default 10; 0: until interrupted)\n"
    "  --duration S       grab for S seconds (then no count unless --count)\n"
    "  --async            grab asynchronously (start once, then collect)\n"
    "  --volatile         deliver the interface's own buffers (gray only)\n"
    "  --trigger software send a software trigger for each frame\n"
    "  --out DIR          directory for the PNG files (default .)\n"
    "  --no-save          write no files\n"
    "  --json             the summary as one JSON object\n"
    "While it runs, a status line each second on standard error (frames,\n"
    "frame rate and MB/s of the last second, failures by code); on a\n"
    "terminal it stays in place.  Ends with frames grabbed, megabytes, frame\n"
    "rate and MB/s (of the whole loop, saving included), the time of each\n"
    "grab call (median and 99th percentile) and failures by error code.\n"
    "SIGINT or SIGTERM stops after the frame in hand, sets back what the run\n"
    "changed, prints the summary and exits with 130 or 143.  Otherwise exit\n"
    "status 0 only when every grab and every save succeeded.\n";

std::vector<OptionRule> GrabOptionRules() {
  std::vector<OptionRule> rules = OpenOptionRules();
  rules.insert(rules.end(), {{"set", true},
                             {"force", false},
                             {"count", true},
                             {"duration", true},
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
  if (!ApplyOpenOptions(parsed, &plan->open, error)) return false;
  for (const auto& text : parsed.All("set")) {
    std::string name;
    std::string value;
    if (!SplitAssignment(text, &name, &value, error)) return false;
    plan->settings.emplace_back(name, value);
  }
  if (parsed.Has("duration")) {
    const auto seconds = ParseFloat(parsed.Last("duration"));
    if (!seconds || *seconds <= 0) {
      *error = "--duration takes a number of seconds above 0";
      return false;
    }
    plan->duration_s = *seconds;
    plan->count = 0;
  }
  if (parsed.Has("count")) {
    const auto count = ParseInteger(parsed.Last("count"));
    if (!count || *count < 0) {
      *error = "--count takes a whole number of frames (0: until interrupted)";
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
  plan->force = parsed.Has("force");
  plan->async = parsed.Has("async");
  plan->volatile_mode = parsed.Has("volatile");
  plan->save = !parsed.Has("no-save");
  plan->out_dir = parsed.Last("out", ".");
  return true;
}

void PrintSummary(const GrabPlan& plan, const GrabOutcome& outcome, bool json) {
  SyncInterfaceOutput();
  if (json) {
    PrintJson(SummaryJson(plan, outcome));
    return;
  }
  Out() << SummaryText(plan, outcome);
  if (!outcome.files.empty()) {
    Out() << "saved " << outcome.files.size() << " PNG files in " << plan.out_dir
          << " (first: " << outcome.files.front() << ")\n";
  }
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

  InterruptWatch watch;
  hostlayer::Driver* driver = LoadInterface();
  GrabOutcome outcome;
  const bool ran = driver != nullptr && RunGrabPlan(*driver, plan, watch, &outcome);
  if (ran) PrintSummary(plan, outcome, parsed.Has("json"));
  if (watch.signal() != 0) return ExitStatusForSignal(watch.signal());
  const GrabStats& stats = outcome.stats;
  return ran && outcome.clean && stats.failed() == 0 && stats.save_failures() == 0 ? kExitOk
                                                                                   : kExitFailure;
}
