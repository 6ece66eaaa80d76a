#include "grab_run.h"

#include <chrono>

#include "command_support.h"
#include "frame_files.h"
#include "host_session.h"
#include "literal_value.h"
#include "parameter_setting.h"
#include "png_writer.h"
#include "progress_bar.h"

namespace {

// No age limit for asynchronous grabs: the tool takes whatever comes next.
constexpr double kNoMaxDelay = -1.0;
const hostlayer::Value kActionValue = int64_t{1};

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// What the preparation switched, so the clean-up can switch it back.
struct Switched {
  bool streaming = false;            // GrabStartAsync ran: the stream runs until an abort
  std::string previous_trigger_mode;  // empty when the mode was not changed
};

bool SetOrReport(hostlayer::Instance& instance, const std::string& name,
                 const hostlayer::Value& value) {
  const Herror status = instance.SetParam(name, value);
  if (status == H_MSG_OK) return true;
  ReportHostError("set " + name + "=" + FormatValue(value), status);
  return false;
}

bool Prepare(hostlayer::Instance& instance, const GrabPlan& plan, Switched* switched) {
  for (const auto& [name, text] : plan.settings) {
    if (!ApplySetting(instance, name, text)) return false;
  }
  if (plan.volatile_mode && !SetOrReport(instance, "volatile", std::string("enable"))) {
    ReportError("volatile mode needs a gray image of 8 bits (--color-space gray)");
    return false;
  }
  if (plan.software_trigger) {
    std::vector<hostlayer::Value> mode;
    const std::string previous =
        instance.GetParam("TriggerMode", &mode) == H_MSG_OK && !mode.empty()
            ? FormatValue(mode.front())
            : std::string("continuous");
    if (!SetOrReport(instance, "TriggerMode", std::string("software_trigger"))) return false;
    switched->previous_trigger_mode = previous;
  }
  // A triggered or asynchronous run starts the stream once and keeps it
  // running: the interface stops it after the next grab whenever a parameter
  // (the trigger included) was set, unless an asynchronous grab was started.
  if (plan.async || plan.software_trigger) {
    const Herror status = instance.GrabStartAsync(kNoMaxDelay);
    if (status != H_MSG_OK) {
      ReportHostError("start grabbing", status);
      return false;
    }
    switched->streaming = true;
  }
  return true;
}

bool Restore(hostlayer::Instance& instance, const Switched& switched) {
  bool ok = true;
  if (switched.streaming) ok = SetOrReport(instance, "do_abort_grab", kActionValue) && ok;
  if (!switched.previous_trigger_mode.empty() && switched.previous_trigger_mode != "software_trigger") {
    ok = SetOrReport(instance, "TriggerMode", switched.previous_trigger_mode) && ok;
  }
  return ok;
}

// Grabs plan.count frames; false when an image could not be saved.
bool GrabFrames(hostlayer::Instance& instance, const GrabPlan& plan, GrabOutcome* outcome) {
  ProgressBar progress(plan.count);
  const auto start = Clock::now();
  bool saved_all = true;
  for (int64_t i = 0; i < plan.count && saved_all; ++i) {
    progress.Update(i);
    if (plan.software_trigger) {
      const Herror status = instance.SetParam("do_TriggerSoftware", kActionValue);
      if (status != H_MSG_OK) {
        outcome->stats.AddFailure(status);
        continue;
      }
    }
    hostlayer::Images images;
    const auto grab_start = Clock::now();
    const Herror status = plan.async ? instance.GrabAsync(kNoMaxDelay, &images)
                                     : instance.Grab(&images);
    const double grab_ms = MillisecondsSince(grab_start);
    if (status != H_MSG_OK) {
      outcome->stats.AddFailure(status);
      continue;
    }
    outcome->stats.AddFrame(grab_ms);
    if (!plan.save) continue;
    // A volatile image is valid only until its buffer is filled again, so it
    // is written before the next grab.
    const std::string path =
        FramePath(plan.out_dir, FormatValue(plan.open.device), i, plan.count);
    std::string error;
    if (WritePng(path, images, &error)) {
      outcome->files.push_back(path);
    } else {
      ReportError(error);
      saved_all = false;
    }
  }
  outcome->seconds = MillisecondsSince(start) / 1000.0;
  progress.Finish();
  return saved_all;
}

}  // namespace

bool RunGrabPlan(hostlayer::Driver& driver, const GrabPlan& plan, GrabOutcome* outcome) {
  std::string error;
  if (plan.save && !EnsureDirectory(plan.out_dir, &error)) {
    ReportError(error);
    return false;
  }
  auto instance = OpenDevice(driver, plan.open);
  if (!instance) return false;
  Switched switched;
  if (!Prepare(*instance, plan, &switched)) {
    Restore(*instance, switched);
    CloseDevice(*instance);
    return false;
  }
  const bool saved_all = GrabFrames(*instance, plan, outcome);
  const bool restored = Restore(*instance, switched);
  const bool closed = CloseDevice(*instance);
  outcome->clean = saved_all && restored && closed;
  return true;
}
