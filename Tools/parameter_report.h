// What the interface tells about the parameters of an open camera: the
// current value and the answers of the metadata queries (NAME_values,
// NAME_range, NAME_description, NAME_category).
#pragma once

#include <string>
#include <vector>

#include "hostlayer/host_driver.h"

struct ParameterReport {
  std::string name;
  bool readable = false;  // the plain name was answered
  std::vector<hostlayer::Value> current;
  std::vector<hostlayer::Value> values;  // empty when not answered
  std::vector<hostlayer::Value> range;   // minimum, maximum, step, current
  std::string description;
  std::string category;
};

// Metadata queries the interface refuses leave their fields empty.
ParameterReport DescribeParameter(hostlayer::Instance& instance, const std::string& name);

// The answer of one metadata query, empty when refused.
std::vector<hostlayer::Value> QueryMetadata(hostlayer::Instance& instance, const std::string& name,
                                            const char* suffix);

// Every parameter name: those the interface publishes (additional and
// read-only parameters), then its own settings that no query lists.
std::vector<std::string> ParameterNames(hostlayer::Driver& driver);
