// The interface as the subcommands use it: loaded and registered through the
// host driver, cameras opened and closed, host errors reported on standard
// error as "hacq: WHAT: error CODE: HOST TEXT".
#pragma once

#include <memory>
#include <string>

#include "hostlayer/host_driver.h"

void ReportHostError(const std::string& what, Herror code);

// The registered interface, or null after reporting why it is not there.
hostlayer::Driver* LoadInterface();

// An open instance, or null after reporting the refusal.
std::unique_ptr<hostlayer::Instance> OpenDevice(hostlayer::Driver& driver,
                                                const hostlayer::OpenParams& params);

// Loads the interface and opens `device` with the host's defaults for every
// other open parameter; null after reporting why not.  `driver`, when
// given, receives the driver.
std::unique_ptr<hostlayer::Instance> OpenWithDefaults(const std::string& device,
                                                      hostlayer::Driver** driver = nullptr);

// Closes the instance; false after reporting a refusal.
bool CloseDevice(hostlayer::Instance& instance);
