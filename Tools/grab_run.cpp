#include "grab_run.h"

#include <chrono>

#include "camera_listing.h"
#include "command_support.h"
#include "frame_files.h"
#include "host_session.h"
#include "interface_output.h"
#include "literal_value.h"
#include "live_status.h"
#include "parameter_setting.h"
#include "png_writer.h"

namespace {

// No age limit for asynchronous grabs: the tool takes whatever comes next.
constexpr double kNoMaxDelay = -1.0;
const hostlayer::Value kActionValue = int64_t{1};

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// What the run changed, so the clean-up can set it back.
struct Changes {
  bool streaming = false;  // GrabStartAsync ran: the stream runs until an abort
  // Each parameter the run set, with its value before, in the order set.
  std::vector<std::pair<std::string, hostlayer::Value>> previous;
};

bool SetOrReport(hostlayer::Instance& instance, const std::string& name,
                 const hostlayer::Value& value) {
  const Herror status = instance.SetParam(name, value);
  if (status == H_MSG_OK) return true;
  ReportHostError("set " + name + "=" + FormatValue(value), status);
  return false;
}

bool Prepare(hostlayer::Instance& instance, const GrabPlan& plan, Changes* changes) {
  std::vector<CheckedSetting> settings;
  if (!CheckSettings(instance, plan.settings, plan.force, &settings)) return false;
  for (const auto& setting : settings) {
    const auto before = ReadValue(instance, setting.name);
    if (!SendSetting(instance, setting)) return false;
    if (before) changes->previous.emplace_back(setting.name, *before);
  }
  if (plan.volatile_mode && !SetOrReport(instance, "volatile", std::string("enable"))) {
    ReportError("volatile mode needs a gray image of 8 bits (--color-space gray)");
    return false;
  }
  if (plan.software_trigger) {
    const auto before = ReadValue(instance, "TriggerMode");
    if (!SetOrReport(instance, "TriggerMode", std::string("software_trigger"))) return false;
    if (before) changes->previous.emplace_back("TriggerMode", *before);
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
    changes->streaming = true;
  }
  return true;
}

// Sets back, last first, every value the run changed that still differs.
bool Restore(hostlayer::Instance& instance, const Changes& changes) {
  bool ok = true;
  // Width, Height and PixelFormat cannot change while the stream grabs.
  if (changes.streaming || !changes.previous.empty()) {
    ok = SetOrReport(instance, "do_abort_grab", kActionValue);
  }
  for (auto it = changes.previous.rbegin(); it != changes.previous.rend(); ++it) {
    const auto& [name, before] = *it;
    if (ReadValue(instance, name) == before) continue;
    ok = SetOrReport(instance, name, before) && ok;
  }
  return ok;
}

int64_t ImageBytes(const hostlayer::Images& images) {
  int64_t bytes = 0;
  for (const auto& image : images) bytes += int64_t{image.width} * image.height;
  return bytes;
}

// One grab, preceded by its software trigger when the run triggers.
Herror GrabOne(hostlayer::Instance& instance, const GrabPlan& plan, hostlayer::Images* images,
               double* grab_ms) {
  if (plan.software_trigger) {
    const Herror status = instance.SetParam("do_TriggerSoftware", kActionValue);
    if (status != H_MSG_OK) return status;
  }
  const auto start = Clock::now();
  const Herror status =
      plan.async ? instance.GrabAsync(kNoMaxDelay, images) : instance.Grab(images);
  *grab_ms = SecondsSince(start) * 1000.0;
  return status;
}

void GrabFrames(hostlayer::Instance& instance, const GrabPlan& plan, const InterruptWatch& watch,
                GrabOutcome* outcome) {
  GrabStats& stats = outcome->stats;
  LiveStatus live(plan.count);
  const auto start = Clock::now();
  for (int64_t done = 0; plan.count == 0 || done < plan.count; ++done) {
    if (watch.signal() != 0) break;
    if (plan.duration_s > 0 && SecondsSince(start) >= plan.duration_s) break;
    hostlayer::Images images;
    double grab_ms = 0;
    const Herror status = GrabOne(instance, plan, &images, &grab_ms);
    // A grab that the interruption cut short is no failure of the camera.
    if (status != H_MSG_OK && watch.signal() != 0) break;
    if (status != H_MSG_OK) {
      stats.AddFailure(status);
      // The interface's line about the failure comes before the status line.
      SyncInterfaceOutput();
    } else {
      stats.AddFrame(grab_ms, ImageBytes(images));
      // A volatile image is valid only until its buffer is filled again, so
      // it is written before the next grab.
      if (plan.save) {
        const std::string path = FramePath(plan.out_dir, outcome->camera, done, plan.count);
        std::string error;
        if (WritePng(path, images, &error)) {
          outcome->files.push_back(path);
        } else {
          ReportError(error);
          stats.AddSaveFailure();
        }
      }
    }
    live.Update(done + 1, SecondsSince(start), stats);
  }
  outcome->seconds = SecondsSince(start);
  live.Finish();
}

}  // namespace

bool RunGrabPlan(hostlayer::Driver& driver, const GrabPlan& plan, InterruptWatch& watch,
                 GrabOutcome* outcome) {
  std::string error;
  if (plan.save && !EnsureDirectory(plan.out_dir, &error)) {
    ReportError(error);
    return false;
  }
  // Stopped before it began (while the interface loaded): nothing to open.
  if (watch.signal() != 0) return false;
  auto instance = OpenDevice(driver, plan.open);
  if (!instance) return false;
  const std::string device = FormatValue(plan.open.device);
  outcome->camera = CameraKeyFor(driver, device);
  if (outcome->camera.empty()) outcome->camera = device;

  Changes changes;
  if (!Prepare(*instance, plan, &changes)) {
    Restore(*instance, changes);
    CloseDevice(*instance);
    return false;
  }
  watch.SetWakeAction([&instance] { instance->SetParam("do_abort_grab", kActionValue); });
  GrabFrames(*instance, plan, watch, outcome);
  watch.SetWakeAction(nullptr);
  outcome->interrupted_by = watch.signal();
  const bool restored = Restore(*instance, changes);
  const bool closed = CloseDevice(*instance);
  outcome->clean = restored && closed;
  return true;
}
