// One grab run: open the camera, apply the settings, switch to software
// trigger or asynchronous grabbing if asked, grab and save the frames, then
// undo what the run switched and close the camera.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "grab_stats.h"
#include "hostlayer/host_driver.h"

struct GrabPlan {
  hostlayer::OpenParams open;
  std::vector<std::pair<std::string, std::string>> settings;  // NAME, VALUE text
  int64_t count = 10;
  bool async = false;
  bool volatile_mode = false;
  bool software_trigger = false;
  bool save = true;
  std::string out_dir = ".";
};

struct GrabOutcome {
  GrabStats stats;
  double seconds = 0;  // the grab loop, saving included
  std::vector<std::string> files;
  bool clean = false;  // every image saved, the clean-up and the close succeeded
};

// False after reporting when the run could not start (no directory, the
// open or a setting refused); grab failures are counted in the outcome.
bool RunGrabPlan(hostlayer::Driver& driver, const GrabPlan& plan, GrabOutcome* outcome);
