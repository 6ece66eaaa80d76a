// hacq get DEVICE NAME and hacq set DEVICE NAME=VALUE...

#include "command_support.h"
#include "console.h"
#include "host_session.h"
#include "literal_value.h"
#include "parameter_setting.h"
#include "result_output.h"
#include "sdk_choice.h"
#include "value_typing.h"

namespace {

const char kGetUsage[] =
    "usage: hacq get DEVICE NAME [--json]\n"
    "Opens the camera and reads one parameter, or one of its metadata queries\n"
    "(NAME_values, NAME_range, NAME_description, NAME_category).  Each value is\n"
    "printed on a line of its own.\n"
    "  --json   {\"name\": NAME, \"values\": [...]}\n";

const char kSetUsage[] =
    "usage: hacq set DEVICE NAME=VALUE... [--force] [--json]\n"
    "Opens the camera and sets the parameters in the order given, each value\n"
    "typed as the parameter demands (integer, number or word); an action\n"
    "parameter needs no value (hacq set DEVICE do_TriggerSoftware).  Nothing\n"
    "is sent when a value is outside its parameter's range or value list.\n"
    "Each readable parameter is read back and printed as NAME = VALUE.  Stops\n"
    "at the first refusal of the interface or the camera.  A simulated camera\n"
    "keeps its settings only while hacq runs;\n"
    "use hacq grab --set to grab with them.\n"
    "  --force  send values outside the range or value list too, so that the\n"
    "           camera's own refusal shows (with its code)\n"
    "  --json   a JSON array of {\"name\": ..., \"set\": ..., \"value\": [...]}\n";

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
  if (!ParseCommand(kSetUsage, args, {{"json", false}, {"force", false}}, &parsed, &exit_status)) {
    return exit_status;
  }
  const auto& positionals = parsed.positionals();
  if (positionals.size() < 2) return UsageError(kSetUsage, "set takes DEVICE and NAME=VALUE");
  // Every assignment is split before the camera is opened.
  Assignments assignments;
  for (size_t i = 1; i < positionals.size(); ++i) {
    std::string name;
    std::string text;
    std::string error;
    if (!SplitAssignment(positionals[i], &name, &text, &error)) {
      return UsageError(kSetUsage, error);
    }
    assignments.emplace_back(name, text);
  }

  auto instance = OpenWithDefaults(positionals[0]);
  if (!instance) return kExitFailure;

  std::vector<CheckedSetting> settings;
  bool all_applied = CheckSettings(*instance, assignments, parsed.Has("force"), &settings);
  // Nothing is sent when one value was refused.
  if (!all_applied) settings.clear();
  nlohmann::json results = nlohmann::json::array();
  for (const auto& setting : settings) {
    if (!SendSetting(*instance, setting)) {
      all_applied = false;
      break;
    }
    std::vector<hostlayer::Value> readback;
    const bool readable = instance->GetParam(setting.name, &readback) == H_MSG_OK;
    if (!readable) readback.clear();
    if (parsed.Has("json")) {
      results.push_back(
          {{"name", setting.name}, {"set", setting.text}, {"value", ValuesToJson(readback)}});
    } else if (readable) {
      Out() << setting.name << " = " << FormatValues(readback, ", ") << "\n";
    } else {
      Out() << setting.name << " set\n";
    }
  }
  const bool closed = CloseDevice(*instance);
  if (parsed.Has("json")) PrintJson(results);
  if (all_applied && SimulatorChosen()) {
    ConsoleWrite(
        "hacq: note: a simulated camera keeps these settings only until hacq exits; "
        "hacq grab --set NAME=VALUE grabs with them\n");
  }
  return all_applied && closed ? kExitOk : kExitFailure;
}
