// The subcommands of hacq.  Each takes the arguments after its own name and
// returns the process's exit status.
#pragma once

#include <string>
#include <vector>

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;  // the interface, a camera or a file refused
inline constexpr int kExitUsage = 2;    // the command line is wrong

using CommandArgs = std::vector<std::string>;

int RunList(const CommandArgs& args);
int RunInfo(const CommandArgs& args);
int RunParams(const CommandArgs& args);
int RunGet(const CommandArgs& args);
int RunSet(const CommandArgs& args);
int RunGrab(const CommandArgs& args);
