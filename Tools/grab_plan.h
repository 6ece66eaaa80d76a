// What a grab run is asked to do, and what it did.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "grab_stats.h"
#include "hostlayer/host_driver.h"

struct GrabPlan {
  hostlayer::OpenParams open;
  std::vector<std::pair<std::string, std::string>> settings;  // NAME, VALUE text, in order
  bool force = false;     // settings skip the check against the metadata
  int64_t count = 10;     // 0: no limit
  double duration_s = 0;  // 0: no limit
  bool async = false;
  bool volatile_mode = false;
  bool software_trigger = false;
  bool save = true;
  std::string out_dir = ".";
};

struct GrabOutcome {
  std::string camera;  // the opened camera's key, or the device string
  GrabStats stats;
  double seconds = 0;  // the grab loop, saving included
  std::vector<std::string> files;
  int interrupted_by = 0;  // the signal that stopped the run, or 0
  bool clean = false;      // the clean-up and the close succeeded
};
