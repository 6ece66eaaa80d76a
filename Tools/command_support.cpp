#include "command_support.h"

#include "console.h"
#include "interface_output.h"
#include "result_output.h"
#include "sdk_choice.h"

bool ParseCommand(const std::string& usage, const CommandArgs& args, std::vector<OptionRule> rules,
                  ParsedArgs* parsed, int* exit_status) {
  rules.push_back({"help", false});
  rules.push_back({"sdk", true});
  std::string error;
  if (!ParseArgs(args, rules, parsed, &error) ||
      (parsed->Has("sdk") && !ChooseSdk(parsed->Last("sdk"), &error))) {
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
  ConsoleWrite(usage);
  return kExitUsage;
}

void ReportError(const std::string& message) {
  SyncInterfaceOutput();
  ConsoleWrite("hacq: " + message + "\n");
}

// Camera texts need not be UTF-8; such bytes are replaced rather than thrown on.
void PrintJson(const nlohmann::json& document) {
  Out() << document.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
}
