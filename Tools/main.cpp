// hacq: drives the acquisition interface from the command line through the
// host driver, as a host application would.
#include <string_view>

#include "command_support.h"
#include "interface_output.h"
#include "result_output.h"
#include "sdk_choice.h"

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
      "usage: hacq [--sdk SDK] COMMAND [ARGS]   (hacq COMMAND --help for its options)\n"
      "       hacq --version\n"
      "Drives the Ombrix acquisition interface; without TERVIXMD_SIM_CONFIG it\n"
      "runs on the built-in simulated cameras.\n"
      "commands:\n";
  for (const auto& command : kCommands) {
    text += "  " + std::string(command.name) + std::string(8 - command.name.size(), ' ') +
            std::string(command.summary) + "\n";
  }
  text +=
      "  --sdk SDK   the camera SDK: sim (the simulator, default), aravis, or the\n"
      "              path of an SDK library; also taken among a command's options\n"
      "Errors go to standard error with the host's error code and text; the\n"
      "interface's own lines go there as \"hacq: interface: TEXT\".\n"
      "Exit status: 0 success, 1 refused or failed, 2 wrong command line;\n"
      "a grab stopped by SIGINT or SIGTERM: 130 or 143.\n";
  return text;
}

// Options before the command: --sdk SDK (or --sdk=SDK), --version, --help.
int Dispatch(const CommandArgs& args) {
  size_t next = 0;
  while (next < args.size() && (args[next] == "--sdk" || args[next].rfind("--sdk=", 0) == 0)) {
    std::string choice;
    if (args[next] != "--sdk") {
      choice = args[next].substr(6);
      next += 1;
    } else if (next + 1 < args.size()) {
      choice = args[next + 1];
      next += 2;
    } else {
      return UsageError(Usage(), "option '--sdk' needs a value");
    }
    std::string error;
    if (!ChooseSdk(choice, &error)) return UsageError(Usage(), error);
  }
  if (next == args.size()) return UsageError(Usage(), "missing command");
  const std::string& name = args[next];
  if (name == "--version") {
    Out() << "hacq " << HACQ_VERSION << "\n";
    return kExitOk;
  }
  if (name == "--help" || name == "-h" || name == "help") {
    Out() << Usage();
    return kExitOk;
  }
  for (const auto& command : kCommands) {
    if (name == command.name) return command.run(CommandArgs(args.begin() + next + 1, args.end()));
  }
  return UsageError(Usage(), "unknown command '" + name + "'");
}

}  // namespace

int main(int argc, char** argv) {
  CaptureInterfaceOutput();
  int status = kExitFailure;
  try {
    status = Dispatch(CommandArgs(argv + 1, argv + argc));
  } catch (const std::exception& e) {
    ReportError(std::string("internal error: ") + e.what());
  }
  Out().flush();
  ReleaseInterfaceOutput();
  return status;
}
