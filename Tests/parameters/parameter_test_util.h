// Helpers of the parameter tests: a camera with known features and limits,
// and short forms of the driver's parameter calls.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "base/records.h"
#include "hacq_test/interface_test.h"

namespace sdkabi {
// Readable failure messages for the write log.
inline void PrintTo(const LogEntry& entry, std::ostream* out) {
  *out << entry.feature << "=" << entry.value << (entry.accepted ? "" : " (refused)");
}
}  // namespace sdkabi

namespace parameter_test {

using hostlayer::Value;
using Values = std::vector<Value>;

inline constexpr char kKey[] = "PARAM-CAM";
inline constexpr char kColorKey[] = "PARAM-RGB";

// A 640 x 480 Mono8 camera (sensor 1280 x 960, Width increment 16), with
// every feature at a known value and limit; `color` makes it a BayerRG8
// camera, which opens with three channels.
simsdk::CameraConfig TestCamera(const std::string& key = kKey, bool color = false);

class ParameterTest : public hacq_test::InterfaceTest {
 protected:
  // The two test cameras, registered again.
  void SetUp() override;

  static Herror Set(hostlayer::Instance& inst, const std::string& name, const Value& value) {
    return inst.SetParam(name, value);
  }
  // The answer of a read that must succeed (the test fails otherwise).
  static Values Get(hostlayer::Instance& inst, const std::string& name);
  static Herror GetStatus(hostlayer::Instance& inst, const std::string& name) {
    Values ignored;
    return inst.GetParam(name, &ignored);
  }
  static InstanceRecord& Record(hostlayer::Instance& inst) { return *inst.raw()->inst_data; }

  // Feature writes and commands the camera saw since the last clear.
  static std::vector<sdkabi::LogEntry> Writes(const std::string& key = kKey) {
    return hacq_test::SdkControls().WriteLog(key);
  }
  // Puts the process-wide grab flags into the state of a fresh process (no
  // asynchronous grab in use, no stop pending) with the stream stopped.
  static void ResetGrabFlags(hostlayer::Instance& inst);
};

}  // namespace parameter_test
