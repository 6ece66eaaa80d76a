#include "parameter_setting.h"

#include "command_support.h"
#include "host_session.h"
#include "parameter_report.h"
#include "value_typing.h"

namespace {

std::optional<CheckedSetting> Check(hostlayer::Instance& instance, const std::string& name,
                                    const std::string& text, bool force) {
  const auto range = QueryMetadata(instance, name, "_range");
  const auto values = QueryMetadata(instance, name, "_values");
  const ValueKind kind = KindFromMetadata(range, values).value_or(CatalogueKind(name));
  CheckedSetting setting{name, text, {}, DescribeAllowed(range, values)};
  std::string error;
  if (!TypeValue(name, kind, text, &setting.value, &error)) {
    ReportError(error + (setting.allowed.empty() ? "" : " (" + setting.allowed + ")"));
    return std::nullopt;
  }
  if (!force && !IsAction(name) && !AllowedByMetadata(setting.value, range, values)) {
    ReportError(name + "=" + text + " not sent: " + name + " accepts " + setting.allowed +
                " (--force sends it anyway)");
    return std::nullopt;
  }
  return setting;
}

}  // namespace

bool CheckSettings(hostlayer::Instance& instance, const Assignments& assignments, bool force,
                   std::vector<CheckedSetting>* checked) {
  bool all_fit = true;
  for (const auto& [name, text] : assignments) {
    if (auto setting = Check(instance, name, text, force)) {
      checked->push_back(std::move(*setting));
    } else {
      all_fit = false;
    }
  }
  return all_fit;
}

bool SendSetting(hostlayer::Instance& instance, const CheckedSetting& setting) {
  const Herror status = instance.SetParam(setting.name, setting.value);
  if (status == H_MSG_OK) return true;
  ReportHostError("set " + setting.name + "=" + setting.text, status);
  if (!setting.allowed.empty()) ReportError(setting.name + " accepts " + setting.allowed);
  return false;
}

std::optional<hostlayer::Value> ReadValue(hostlayer::Instance& instance, const std::string& name) {
  std::vector<hostlayer::Value> values;
  if (instance.GetParam(name, &values) != H_MSG_OK || values.size() != 1) return std::nullopt;
  return values.front();
}
