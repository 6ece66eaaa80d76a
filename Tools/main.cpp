// hacq: drives the acquisition interface from the command line through the
// host driver, as a host application would.
#include <string_view>

#include "command_support.h"
#include "result_output.h"

namespace {

struct Command {
  std::string_view name;
  int (*run)(const CommandArgs&);
  std::string_view summary;
};

constexpr Command kCommands[] = {
    {"list", RunList, "list the cameras"},
    {"info", RunInfo, "answer the interface's information queries"},
    {"params", RunParams, "show every parameter of a camera"},
    {"get", RunGet, "read one parameter"},
    {"set", RunSet, "set parameters"},
    {"grab", RunGrab, "grab frames into PNG files"},
};

std::string Usage() {
  std::string text =
      "usage: hacq COMMAND [ARGS]   (hacq COMMAND --help for its options)\n"
      "Drives the Ombrix acquisition interface; without TERVIXMD_SIM_CONFIG it\n"
      "runs on the built-in simulated cameras.\n"
      "commands:\n";
  for (const auto& command : kCommands) {
    text += "  " + std::string(command.name) + std::string(8 - command.name.size(), ' ') +
            std::string(command.summary) + "\n";
  }
  text += "Errors go to standard error with the host's error code and text.\n"
          "Exit status: 0 success, 1 refused or failed, 2 wrong command line.\n";
  return text;
}

int Dispatch(const CommandArgs& args) {
  if (args.empty()) return UsageError(Usage(), "missing command");
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    Out() << Usage();
    return kExitOk;
  }
  for (const auto& command : kCommands) {
    if (args[0] == command.name) return command.run(CommandArgs(args.begin() + 1, args.end()));
  }
  return UsageError(Usage(), "unknown command '" + args[0] + "'");
}

}  // namespace

int main(int argc, char** argv) {
  SeparateInterfaceOutput();
  int status = kExitFailure;
  try {
    status = Dispatch(CommandArgs(argv + 1, argv + argc));
  } catch (const std::exception& e) {
    ReportError(std::string("internal error: ") + e.what());
  }
  Out().flush();
  return status;
}
