#include "command_support.h"

#include <iostream>

#include "result_output.h"

bool ParseCommand(const std::string& usage, const CommandArgs& args,
                  std::vector<OptionRule> rules, ParsedArgs* parsed, int* exit_status) {
  rules.push_back({"help", false});
  std::string error;
  if (!ParseArgs(args, rules, parsed, &error)) {
    *exit_status = UsageError(usage, error);
    return false;
  }
  if (parsed->Has("help")) {
    Out() << usage;
    *exit_status = kExitOk;
    return false;
  }
  return true;
}

int UsageError(const std::string& usage, const std::string& message) {
  ReportError(message);
  std::cerr << usage;
  return kExitUsage;
}

void ReportError(const std::string& message) { std::cerr << "hacq: " << message << "\n"; }

// Camera texts need not be UTF-8; such bytes are replaced rather than thrown on.
void PrintJson(const nlohmann::json& document) {
  Out() << document.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
}
