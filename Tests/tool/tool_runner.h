// Helpers of the tool's tests: the built hacq run as a subprocess, with its
// output captured and a bounded wait (a hung tool is killed and reported,
// never waited for), a signal sent or a terminal given if asked; a scratch
// directory; a PNG file read back.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct ToolResult {
  int exit_status = -1;  // -1 when killed or not started
  std::string out;
  std::string err;
};

struct RunOptions {
  // Sent to the tool once `ready` (asked every few milliseconds while it
  // runs) says so; 0 for none.
  int signal = 0;
  std::function<bool()> ready;
  // Standard error a terminal (a pseudo-terminal whose output is read into
  // ToolResult::err) instead of a file.
  bool err_on_terminal = false;
};

// env entries NAME=VALUE are added to the inherited environment, from which
// TERVIXMD_SIM_CONFIG is dropped so the built-in cameras are the default.
ToolResult RunTool(const std::vector<std::string>& args, const std::vector<std::string>& env = {},
                   const RunOptions& options = {});

// The run's exit status and output, for a failure message.
std::string Describe(const ToolResult& r);

// A fresh directory under the system's temporary one, removed with its
// contents at the end of the scope.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

struct PngImage {
  bool ok = false;
  uint32_t width = 0, height = 0, format = 0;  // format: libpng's PNG_FORMAT_*
  std::vector<uint8_t> pixels;
};
PngImage ReadPng(const std::string& path);
