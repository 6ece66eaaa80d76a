#include "parameter_report.h"

#include <algorithm>

#include "literal_value.h"

namespace {

constexpr int32_t kParametersQuery = 4;
constexpr int32_t kReadOnlyParametersQuery = 13;

// Served by the interface but published by none of its queries.
constexpr const char* kUnpublishedParameters[] = {
    "grab_timeout",     "start_async_after_grab_async", "volatile",
    "bits_per_channel", "horizontal_resolution",        "vertical_resolution"};

std::string FirstText(const std::vector<hostlayer::Value>& values) {
  return values.empty() ? "" : FormatValue(values.front());
}

}  // namespace

std::vector<hostlayer::Value> QueryMetadata(hostlayer::Instance& instance, const std::string& name,
                                            const char* suffix) {
  std::vector<hostlayer::Value> values;
  if (instance.GetParam(name + suffix, &values) != H_MSG_OK) values.clear();
  return values;
}

ParameterReport DescribeParameter(hostlayer::Instance& instance, const std::string& name) {
  ParameterReport report;
  report.name = name;
  report.readable = instance.GetParam(name, &report.current) == H_MSG_OK;
  if (!report.readable) report.current.clear();
  report.values = QueryMetadata(instance, name, "_values");
  report.range = QueryMetadata(instance, name, "_range");
  report.description = FirstText(QueryMetadata(instance, name, "_description"));
  report.category = FirstText(QueryMetadata(instance, name, "_category"));
  return report;
}

std::vector<std::string> ParameterNames(hostlayer::Driver& driver) {
  std::vector<std::string> names;
  auto add = [&](const std::string& name) {
    if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
  };
  for (int32_t query : {kParametersQuery, kReadOnlyParametersQuery}) {
    std::string text;
    std::vector<hostlayer::Value> values;
    if (driver.Info(query, &text, &values) != H_MSG_OK) continue;
    for (const auto& value : values) add(FormatValue(value));
  }
  for (const char* name : kUnpublishedParameters) add(name);
  return names;
}
