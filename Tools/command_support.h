// What every subcommand does alike: parse its options with "--help" and
// "--sdk" answered, report errors on standard error, print JSON on
// standard output.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "command_line.h"
#include "commands.h"

// Parses args against rules plus "--help" and "--sdk".  Returns false when
// the command is done before it started: its usage was printed on standard
// output (--help, *exit_status 0), or the error and the usage on standard
// error (*exit_status kExitUsage).
bool ParseCommand(const std::string& usage, const CommandArgs& args, std::vector<OptionRule> rules,
                  ParsedArgs* parsed, int* exit_status);

// A command-line mistake found after parsing: message and usage on stderr.
int UsageError(const std::string& usage, const std::string& message);

// "hacq: message" on standard error, after the interface's lines so far.
void ReportError(const std::string& message);

void PrintJson(const nlohmann::json& document);
