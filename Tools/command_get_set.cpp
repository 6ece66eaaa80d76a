// hacq get DEVICE NAME and hacq set DEVICE NAME=VALUE...

#include "command_support.h"
#include "host_session.h"
#include "literal_value.h"
#include "parameter_setting.h"
#include "value_typing.h"
#include "result_output.h"

namespace {

const char kGetUsage[] =
    "usage: hacq get DEVICE NAME [--json]\n"
    "Opens the camera and reads one parameter, or one of its metadata queries\n"
    "(NAME_values, NAME_range, NAME_description, NAME_category).  Each value is\n"
    "printed on a line of its own.\n"
    "  --json   {\"name\": NAME, \"values\": [...]}\n";

const char kSetUsage[] =
    "usage: hacq set DEVICE NAME=VALUE... [--json]\n"
    "Opens the camera and sets the parameters in the order given, each value\n"
    "typed as the parameter demands (integer, number or word); an action\n"
    "parameter needs no value (hacq set DEVICE do_TriggerSoftware).  Each\n"
    "readable parameter is read back and printed as NAME = VALUE.  Stops at the\n"
    "first refusal.  A simulated camera forgets its settings when hacq exits;\n"
    "use hacq grab --set to grab with them.\n"
    "  --json   a JSON array of {\"name\": ..., \"set\": ..., \"value\": [...]}\n";

struct Assignment {
  std::string name;
  std::string text;
};

}  // namespace

int RunGet(const CommandArgs& args) {
  ParsedArgs parsed;
  int exit_status = kExitOk;
  if (!ParseCommand(kGetUsage, args, {{"json", false}}, &parsed, &exit_status)) {
    return exit_status;
  }
  if (parsed.positionals().size() != 2) return UsageError(kGetUsage, "get takes DEVICE and NAME");
  const std::string& name = parsed.positionals()[1];

  auto instance = OpenWithDefaults(parsed.positionals()[0]);
  if (!instance) return kExitFailure;
  std::vector<hostlayer::Value> values;
  const Herror status = instance->GetParam(name, &values);
  if (!CloseDevice(*instance)) return kExitFailure;
  if (status != H_MSG_OK) {
    ReportHostError("get " + name, status);
    return kExitFailure;
  }

  if (parsed.Has("json")) {
    PrintJson({{"name", name}, {"values", ValuesToJson(values)}});
  } else {
    for (const auto& value : values) Out() << FormatValue(value) << "\n";
  }
  return kExitOk;
}

int RunSet(const CommandArgs& args) {
  ParsedArgs parsed;
  int exit_status = kExitOk;
  if (!ParseCommand(kSetUsage, args, {{"json", false}}, &parsed, &exit_status)) {
    return exit_status;
  }
  const auto& positionals = parsed.positionals();
  if (positionals.size() < 2) return UsageError(kSetUsage, "set takes DEVICE and NAME=VALUE");
  // Every assignment is checked before the camera is touched.
  std::vector<Assignment> assignments;
  for (size_t i = 1; i < positionals.size(); ++i) {
    Assignment assignment;
    std::string error;
    if (!SplitAssignment(positionals[i], &assignment.name, &assignment.text, &error)) {
      return UsageError(kSetUsage, error);
    }
    assignments.push_back(assignment);
  }

  auto instance = OpenWithDefaults(positionals[0]);
  if (!instance) return kExitFailure;

  nlohmann::json results = nlohmann::json::array();
  bool all_applied = true;
  for (const auto& assignment : assignments) {
    if (!ApplySetting(*instance, assignment.name, assignment.text)) {
      all_applied = false;
      break;
    }
    std::vector<hostlayer::Value> readback;
    const bool readable = instance->GetParam(assignment.name, &readback) == H_MSG_OK;
    if (!readable) readback.clear();
    if (parsed.Has("json")) {
      results.push_back(
          {{"name", assignment.name}, {"set", assignment.text}, {"value", ValuesToJson(readback)}});
    } else if (readable) {
      Out() << assignment.name << " = " << FormatValues(readback, ", ") << "\n";
    } else {
      Out() << assignment.name << " set\n";
    }
  }
  const bool closed = CloseDevice(*instance);
  if (parsed.Has("json")) PrintJson(results);
  return all_applied && closed ? kExitOk : kExitFailure;
}
