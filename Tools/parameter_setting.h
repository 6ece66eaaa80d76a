// Setting parameters from command-line text, typed as each parameter
// demands (integer, number or word) and checked against what its metadata
// allows; shared by "set" and "grab --set".
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "hostlayer/host_driver.h"

using Assignments = std::vector<std::pair<std::string, std::string>>;  // NAME, VALUE text

struct CheckedSetting {
  std::string name;
  std::string text;
  hostlayer::Value value;
  std::string allowed;  // what the metadata allows, empty when it says nothing
};

// Types every value and, unless `force`, checks it against the parameter's
// range or value list, so that nothing is sent when one value is refused.
// False after reporting each refusal, with what the parameter accepts.
bool CheckSettings(hostlayer::Instance& instance, const Assignments& assignments, bool force,
                   std::vector<CheckedSetting>* checked);

// Sends one checked value; false after reporting the refusal of the
// interface or the camera, with its code.
bool SendSetting(hostlayer::Instance& instance, const CheckedSetting& setting);

// The parameter's current value, when a read answers it with one value.
std::optional<hostlayer::Value> ReadValue(hostlayer::Instance& instance, const std::string& name);
