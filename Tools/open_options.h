// The open parameters as command-line options: one option per parameter,
// named as the host names it with '-' for '_' ("--color-space").
#pragma once

#include <string>
#include <vector>

#include "command_line.h"
#include "hostlayer/host_driver.h"

const std::vector<OptionRule>& OpenOptionRules();

// Writes the options given into params; the others keep the host's
// defaults.  Each value is checked for what the host takes of that
// parameter: a whole number of 32 bits, one of its words ("--field
// progressive", "--external-trigger false", "default" for any of them), or
// a text that fits its record.  What the interface then accepts of those
// (port 0 to 3, colour space gray or rgb) is the interface's to answer.
// "--generic" may be given several times, one generic value each, typed
// as it reads.  False with *error naming the first bad option and what it
// takes.
bool ApplyOpenOptions(const ParsedArgs& args, hostlayer::OpenParams* params, std::string* error);
