// The gate every operation on an instance passes first: one table of the
// operations, each with the answer it gives an instance that is not open,
// and whether it also refuses an instance whose device string no longer
// selects its camera.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "device_test_util.h"

namespace {

using device_test::Record;
using hacq_test::kColorKey;
using hacq_test::kMonoKey;

struct Operation {
  const char* name;
  Herror (*call)(FGClass& fg, FGInstance* fginst);
  Herror refused;      // the answer for an instance that is not open
  bool device_needed;  // refused too when the device string no longer selects its camera
};

const Operation kOperations[] = {
    {"Close", [](FGClass& fg, FGInstance* i) { return fg.Close(nullptr, i); }, H_MSG_OK, false},
    {"Grab",
     [](FGClass& fg, FGInstance* i) {
       Himage images[3] = {};
       int32_t count = 0;
       return fg.Grab(nullptr, i, images, &count);
     },
     H_ERR_FGDV, true},
    {"GrabStartAsync",
     [](FGClass& fg, FGInstance* i) { return fg.GrabStartAsync(nullptr, i, 9.0); }, H_ERR_FGDV,
     true},
    {"GrabAsync",
     [](FGClass& fg, FGInstance* i) {
       Himage images[3] = {};
       int32_t count = 0;
       return fg.GrabAsync(nullptr, i, 9.0, images, &count);
     },
     H_ERR_FGDV, true},
    {"GrabData",
     [](FGClass& fg, FGInstance* i) {
       return fg.GrabData(nullptr, i, nullptr, nullptr, nullptr, nullptr);
     },
     H_ERR_FGNOTSUP, false},
    {"GrabDataAsync",
     [](FGClass& fg, FGInstance* i) {
       return fg.GrabDataAsync(nullptr, i, 9.0, nullptr, nullptr, nullptr, nullptr);
     },
     H_ERR_FGNOTSUP, false},
    {"SetParam",
     [](FGClass& fg, FGInstance* i) {
       const ParamValue value{{.l = 77}, PV_INTEGER};
       return fg.SetParam(nullptr, i, "grab_timeout", &value);
     },
     H_ERR_FGPARV, true},
    {"GetParam",
     [](FGClass& fg, FGInstance* i) {
       ParamValue values[4] = {};
       int32_t count = 0;
       return fg.GetParam(nullptr, i, "grab_timeout", values, &count);
     },
     H_ERR_FGPARV, false},
};

int64_t HostCalls() {
  int64_t calls = 0;
  for (int kind = 0; kind < hostlayer::kHostCallKinds; ++kind) {
    calls += hostlayer::CallCount(static_cast<hostlayer::HostCall>(kind));
  }
  return calls;
}

template <class T>
std::vector<unsigned char> BytesOf(const T* record) {
  std::vector<unsigned char> bytes(sizeof(T));
  if (record != nullptr) std::memcpy(bytes.data(), record, sizeof(T));
  return bytes;
}

// Everything a refused operation must leave as it was.
struct Snapshot {
  std::vector<unsigned char> fginst;
  std::vector<unsigned char> inst;
  int64_t host_calls;
  sdkabi::Counters camera;
  sdkabi::LiveObjectCount sdk_objects;

  explicit Snapshot(const FGInstance& host)
      : fginst(BytesOf(&host)),
        inst(BytesOf(host.inst_data)),
        host_calls(HostCalls()),
        camera(hacq_test::SdkControls().CameraCounters(kMonoKey)),
        sdk_objects(hacq_test::SdkControls().LiveObjects()) {}
};

void ExpectUntouched(const Snapshot& before, const FGInstance& host) {
  const Snapshot after(host);
  EXPECT_TRUE(after.fginst == before.fginst) << "host record";
  EXPECT_TRUE(after.inst == before.inst) << "interface record";
  EXPECT_EQ(after.host_calls, before.host_calls) << "host calls";
  EXPECT_EQ(after.camera.connects, before.camera.connects);
  EXPECT_EQ(after.camera.grab_starts, before.camera.grab_starts);
  EXPECT_EQ(after.sdk_objects, before.sdk_objects) << "SDK objects";
}

class InstanceGateTest : public hacq_test::InterfaceTest {};

// Catches an operation that reaches into a closed instance: a destroyed
// mutex locked, released camera objects used, a grab started on a camera
// another instance opened since, or a code other than its own.
TEST_F(InstanceGateTest, AnInstanceThatIsNotOpenGetsEachOperationsAnswer) {
  auto instance = OpenOk(kMonoKey);
  ASSERT_TRUE(instance);
  FGInstance closed = *instance->raw();
  ASSERT_EQ(instance->Close(), H_MSG_OK);
  auto other = OpenOk(kMonoKey);  // reuses the freed record
  ASSERT_TRUE(other);
  ASSERT_EQ(other->Close(), H_MSG_OK);
  FGInstance unassigned = closed;
  unassigned.inst_data = nullptr;
  for (FGInstance* fginst : {&closed, &unassigned}) {
    for (const Operation& op : kOperations) {
      SCOPED_TRACE(std::string(op.name) + (fginst->inst_data == nullptr ? ", no record" : ""));
      const Snapshot before(*fginst);
      EXPECT_EQ(op.call(driver().fg_class(), fginst), op.refused);
      ExpectUntouched(before, *fginst);
    }
  }
}

// Catches grabs and sets that go on for a device string that names no
// camera, or another one, than the instance opened; reads and the
// unsupported grabs need no device and are served.
TEST_F(InstanceGateTest, GrabsAndSetsNeedTheDeviceStringToNameTheCamera) {
  auto instance = OpenOk(kMonoKey);
  ASSERT_TRUE(instance);
  FGInstance* fginst = instance->raw();
  for (const char* device : {"gone", kColorKey}) {
    std::snprintf(fginst->device, sizeof fginst->device, "%s", device);
    for (const Operation& op : kOperations) {
      if (!op.device_needed) continue;
      SCOPED_TRACE(std::string(op.name) + " as " + device);
      const Snapshot before(*fginst);
      EXPECT_EQ(op.call(driver().fg_class(), fginst), op.refused);
      ExpectUntouched(before, *fginst);
    }
  }
  std::vector<hostlayer::Value> values;
  EXPECT_EQ(instance->GetParam("grab_timeout", &values), H_MSG_OK);
  EXPECT_EQ(instance->GrabDataAsync(4.0), H_ERR_FGNOTSUP);
  EXPECT_EQ(Record(*instance).async_max_delay, 4);
  std::snprintf(fginst->device, sizeof fginst->device, "%s", kMonoKey);
  hostlayer::Images images;
  EXPECT_EQ(instance->Grab(&images), H_MSG_OK);
}

}  // namespace
