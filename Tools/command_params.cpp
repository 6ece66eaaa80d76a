// hacq params DEVICE: every parameter of an open camera.

#include "command_support.h"
#include "host_session.h"
#include "literal_value.h"
#include "parameter_report.h"
#include "result_output.h"
#include "text_table.h"
#include "value_typing.h"

namespace {

const char kUsage[] =
    "usage: hacq params DEVICE [--json]\n"
    "Opens the camera (a key, a name without spaces, \"default\" or \"0\") and\n"
    "shows every parameter: its current value, the values or range it accepts,\n"
    "its category and its description.  Write-only parameters are actions\n"
    "(hacq set DEVICE do_TriggerSoftware).\n"
    "  --json   a JSON array with one object per parameter\n";

std::string CurrentText(const ParameterReport& report) {
  if (report.readable) return FormatValues(report.current, ", ");
  return report.name.rfind("do_", 0) == 0 ? "(action)" : "(write-only)";
}

nlohmann::json ReportToJson(const ParameterReport& report) {
  nlohmann::json entry = {{"name", report.name},
                          {"readable", report.readable},
                          {"value", ValuesToJson(report.current)},
                          {"values", ValuesToJson(report.values)},
                          {"description", report.description},
                          {"category", report.category}};
  if (report.range.size() >= 3) {
    entry["range"] = {{"min", ValueToJson(report.range[0])}, {"max", ValueToJson(report.range[1])}};
    // A number range's step is the interface's fixed 1.0, not the camera's.
    if (!std::holds_alternative<double>(report.range[2])) {
      entry["range"]["step"] = ValueToJson(report.range[2]);
    }
  }
  return entry;
}

}  // namespace

int RunParams(const CommandArgs& args) {
  ParsedArgs parsed;
  int exit_status = kExitOk;
  if (!ParseCommand(kUsage, args, {{"json", false}}, &parsed, &exit_status)) return exit_status;
  if (parsed.positionals().size() != 1) return UsageError(kUsage, "params takes one DEVICE");

  hostlayer::Driver* driver = nullptr;
  auto instance = OpenWithDefaults(parsed.positionals()[0], &driver);
  if (!instance) return kExitFailure;

  std::vector<ParameterReport> reports;
  for (const auto& name : ParameterNames(*driver)) {
    reports.push_back(DescribeParameter(*instance, name));
  }
  if (!CloseDevice(*instance)) return kExitFailure;

  if (parsed.Has("json")) {
    nlohmann::json list = nlohmann::json::array();
    for (const auto& report : reports) list.push_back(ReportToJson(report));
    PrintJson(list);
    return kExitOk;
  }
  std::vector<std::vector<std::string>> rows;
  for (const auto& report : reports) {
    rows.push_back({report.name, CurrentText(report), DescribeAllowed(report.range, report.values),
                    report.category, report.description});
  }
  Out() << FormatTable({"NAME", "VALUE", "ACCEPTS", "CATEGORY", "DESCRIPTION"}, rows);
  return kExitOk;
}
