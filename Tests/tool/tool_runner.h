// Runs the built hacq as a subprocess, with its output captured and a
// bounded wait: a hung tool is killed and reported, never waited for.
#pragma once

#include <string>
#include <vector>

struct ToolResult {
  int exit_status = -1;  // -1 when killed or not started
  bool timed_out = false;
  std::string out;
  std::string err;
};

// env entries NAME=VALUE are added to the inherited environment, from which
// TERVIXMD_SIM_CONFIG is dropped so the built-in cameras are the default.
ToolResult RunTool(const std::vector<std::string>& args, const std::vector<std::string>& env = {},
                   int timeout_seconds = 90);
