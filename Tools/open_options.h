// The open parameters as command-line options: one option per parameter,
// named as the host names it with '-' for '_' ("--color-space").
#pragma once

#include <vector>

#include "command_line.h"
#include "hostlayer/host_driver.h"

const std::vector<OptionRule>& OpenOptionRules();

// Writes the options given into params; the others keep the host's
// defaults.  Each value is typed as it reads: an integer, a number, or a
// word ("--field progressive", "--external-trigger false"); --device,
// --color-space and --camera-type are always words.  "--generic" may
// be given several times, one generic value each.
void ApplyOpenOptions(const ParsedArgs& args, hostlayer::OpenParams* params);
