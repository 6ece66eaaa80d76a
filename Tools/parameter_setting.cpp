#include "parameter_setting.h"

#include "command_support.h"
#include "host_session.h"
#include "parameter_report.h"
#include "value_typing.h"

bool ApplySetting(hostlayer::Instance& instance, const std::string& name,
                  const std::string& text) {
  const auto range = QueryMetadata(instance, name, "_range");
  const auto values = QueryMetadata(instance, name, "_values");
  const ValueKind kind = KindFromMetadata(range, values).value_or(CatalogueKind(name));
  const std::string allowed = DescribeAllowed(range, values);

  hostlayer::Value value;
  std::string error;
  if (!TypeValue(name, kind, text, &value, &error)) {
    ReportError(error + (allowed.empty() ? "" : " (" + allowed + ")"));
    return false;
  }
  const Herror status = instance.SetParam(name, value);
  if (status != H_MSG_OK) {
    ReportHostError("set " + name + "=" + text, status);
    if (!allowed.empty()) ReportError(name + " accepts " + allowed);
    return false;
  }
  return true;
}
