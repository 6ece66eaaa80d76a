// Setting one parameter from command-line text, typed as the parameter
// demands (integer, number or word); shared by "set" and "grab --set".
#pragma once

#include <string>

#include "hostlayer/host_driver.h"

// False after reporting on standard error why the value was refused, with
// what the parameter accepts when its metadata says so.
bool ApplySetting(hostlayer::Instance& instance, const std::string& name,
                  const std::string& text);
