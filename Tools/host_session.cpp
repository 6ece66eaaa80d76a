#include "host_session.h"

#include "command_support.h"
#include "literal_value.h"

void ReportHostError(const std::string& what, Herror code) {
  ReportError(what + ": error " + std::to_string(code) + ": " + hostlayer::Driver::ErrorText(code));
}

hostlayer::Driver* LoadInterface() {
  hostlayer::Driver& driver = hostlayer::Driver::Get();
  if (!driver.load_error().empty()) {
    ReportError("cannot load the interface: " + driver.load_error());
    return nullptr;
  }
  if (!driver.ok()) {
    ReportHostError("the interface did not register", driver.init_status());
    return nullptr;
  }
  return &driver;
}

std::unique_ptr<hostlayer::Instance> OpenDevice(hostlayer::Driver& driver,
                                                const hostlayer::OpenParams& params) {
  std::unique_ptr<hostlayer::Instance> instance;
  const Herror status = driver.Open(params, &instance);
  if (status != H_MSG_OK) {
    ReportHostError("open '" + FormatValue(params.device) + "'", status);
    if (status == H_ERR_FGDV) ReportError("'hacq list' shows the cameras and their keys");
    return nullptr;
  }
  return instance;
}

std::unique_ptr<hostlayer::Instance> OpenWithDefaults(const std::string& device,
                                                      hostlayer::Driver** driver) {
  hostlayer::Driver* loaded = LoadInterface();
  if (loaded == nullptr) return nullptr;
  if (driver != nullptr) *driver = loaded;
  hostlayer::OpenParams open;
  open.device = device;
  return OpenDevice(*loaded, open);
}

bool CloseDevice(hostlayer::Instance& instance) {
  const Herror status = instance.Close();
  if (status != H_MSG_OK) {
    ReportHostError("close", status);
    return false;
  }
  return true;
}
