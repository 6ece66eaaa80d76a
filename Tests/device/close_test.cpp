// FGClose, cameras shared by instances under different device strings, the
// gate every operation on an instance passes first, and long runs of opens
// and closes.  (Host calls failing during a close are covered by the fault
// sweep; grabs while another instance of the camera opens and closes, by
// the stress test.)
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "device_test_util.h"

namespace device_test {
namespace {

class CloseTest : public DeviceTest {
 protected:
  static sdkabi::Counters Counters() { return SdkControls().CameraCounters(kMonoKey); }
};

// Catches a close that leaves the stream grabbing or the camera connected,
// one that forgets to return the record, one that stops a stream that is
// not grabbing, one that gives up (and leaks) when the camera refuses to
// stop or to disconnect (both are printed and passed by), and one whose
// device string no longer matches a camera and that therefore keeps the
// record, its board and its buffers for good; and an open that takes a
// camera nobody uses for connected.
TEST_F(CloseTest, StopsAGrabbingStreamAndDisconnects) {
  for (const bool grab : {true, false}) {
    SCOPED_TRACE(grab ? "grabbing" : "idle");
    auto instance = OpenOk(kMonoKey);
    ASSERT_TRUE(instance);
    const uint64_t stops = Counters().grab_stops;
    hostlayer::Images images;
    if (grab) {
      ASSERT_EQ(instance->Grab(&images), H_MSG_OK);
    }
    std::snprintf(instance->raw()->device, sizeof instance->raw()->device, "gone");
    ASSERT_EQ(instance->Close(), H_MSG_OK);
    EXPECT_FALSE(SdkControls().IsGrabbing(kMonoKey));
    EXPECT_FALSE(SdkControls().IsConnected(kMonoKey));
    EXPECT_EQ(Counters().grab_stops, stops + (grab ? 1 : 0));
    EXPECT_EQ(SdkControls().LiveObjects(), sdkabi::LiveObjectCount{});
    images.clear();  // the delivered image is the caller's until dropped
    ExpectNoLeaks("after close");
  }
  auto instance = OpenOk(kMonoKey);
  ASSERT_TRUE(instance);
  hostlayer::Images images;
  ASSERT_EQ(instance->Grab(&images), H_MSG_OK);
  SdkControls().InjectFault(kMonoKey, sdkabi::FaultPoint::StopGrabbing);
  SdkControls().InjectFault(kMonoKey, sdkabi::FaultPoint::Disconnect);
  Herror status = 0;
  EXPECT_EQ(Capture([&] { status = instance->Close(); }).out,
            "stop grabbing fail.\r\ndisconnect camera fail.\r\n");
  EXPECT_EQ(status, H_MSG_OK);
  EXPECT_EQ(SdkControls().LiveObjects(), sdkabi::LiveObjectCount{});
  // The camera stayed connected, but no instance uses it: the next open
  // connects it again rather than lean on a link nobody holds.
  const uint64_t connects = Counters().connects;
  EXPECT_TRUE(OpenOk(kMonoKey));
  EXPECT_EQ(Counters().connects, connects + 1);
}

// Catches a second open that connects the camera again or overwrites (and
// leaks) the first one's SDK objects, a close that releases objects or
// disconnects while another instance still uses them, a last close that
// leaves the camera connected, and a failed open that releases or
// disconnects the camera another instance uses.
TEST_F(CloseTest, ObjectsLiveUntilTheLastInstanceCloses) {
  auto by_default = OpenOk("default");
  ASSERT_TRUE(by_default);
  const sdkabi::LiveObjectCount one_open{.controls = 6, .streams = 1};
  EXPECT_EQ(SdkControls().LiveObjects(), one_open);
  auto by_name = OpenOk(kMonoName);
  ASSERT_TRUE(by_name);
  EXPECT_EQ(SdkControls().LiveObjects(), one_open);
  EXPECT_EQ(Counters().connects, 1u);

  EXPECT_EQ(TryOpen({.device = std::string(kMonoKey), .port = int64_t{7}}), H_ERR_FGPORT);
  hostlayer::FailCall(hostlayer::HostCall::Alloc, 2, 4711);
  EXPECT_EQ(TryOpen(DefaultParams(kMonoKey)), 4711);
  EXPECT_EQ(SdkControls().LiveObjects(), one_open);

  hostlayer::Images images;
  ASSERT_EQ(by_default->Grab(&images), H_MSG_OK);
  ASSERT_EQ(by_default->Close(), H_MSG_OK);
  EXPECT_TRUE(SdkControls().IsConnected(kMonoKey));
  EXPECT_EQ(Counters().disconnects, 0u);
  EXPECT_EQ(SdkControls().LiveObjects(), one_open);
  EXPECT_EQ(by_name->Grab(&images), H_MSG_OK);
  EXPECT_EQ(by_name->SetParam("ExposureTime", 2000.0), H_MSG_OK);
  EXPECT_EQ(by_name->Grab(&images), H_MSG_OK);

  ASSERT_EQ(by_name->Close(), H_MSG_OK);
  EXPECT_FALSE(SdkControls().IsConnected(kMonoKey));
  EXPECT_EQ(Counters().disconnects, 1u);
  EXPECT_EQ(SdkControls().LiveObjects(), sdkabi::LiveObjectCount{});
  EXPECT_TRUE(OpenOk(kMonoKey));
  EXPECT_EQ(Counters().connects, 2u);
}

// Catches anything an open/close pair leaves behind (host blocks, host
// mutexes, SDK controls, streams or nodes), whichever way the camera is
// named.  HACQ_SOAK_CYCLES raises the count.
TEST_F(CloseTest, ThousandCyclesLeaveNothingBehind) {
  const char* soak = std::getenv("HACQ_SOAK_CYCLES");
  const int cycles = soak != nullptr ? std::atoi(soak) : 1000;
  const char* devices[] = {"default", "0", kMonoKey, kMonoName, kColorKey, hacq_test::kColorName};
  for (int i = 0; i < cycles; ++i) {
    for (const char* device : devices) {
      std::unique_ptr<hostlayer::Instance> instance;
      ASSERT_EQ(TryOpen(DefaultParams(device), &instance), H_MSG_OK) << device << " " << i;
      ASSERT_EQ(instance->Close(), H_MSG_OK) << device << " in cycle " << i;
    }
    if (i % 100 == 0) ExpectNoLeaks("in cycle " + std::to_string(i));
  }
  EXPECT_FALSE(SdkControls().IsConnected(kMonoKey));
  EXPECT_FALSE(SdkControls().IsConnected(kColorKey));
}

// The operations on an instance, each with the answer it gives an instance
// that is not open, and whether it also refuses an instance whose device
// string no longer selects its camera.
struct Operation {
  const char* name;
  Herror (*call)(FGClass& fg, FGInstance* fginst);
  Herror refused;
  bool device_needed;
};

// Where the operations below put what they answer.
Himage answer_images[3];
ParamValue answer_values[4];
int32_t answer_count;
const ParamValue kTimeout{{.l = 77}, PV_INTEGER};

const Operation kOperations[] = {
    {"Close", [](auto& fg, auto i) { return fg.Close(nullptr, i); }, H_MSG_OK, false},
    {"Grab", [](auto& fg, auto i) { return fg.Grab(nullptr, i, answer_images, &answer_count); },
     H_ERR_FGDV, true},
    {"GrabStartAsync", [](auto& fg, auto i) { return fg.GrabStartAsync(nullptr, i, 9); },
     H_ERR_FGDV, true},
    {"GrabAsync",
     [](auto& fg, auto i) { return fg.GrabAsync(nullptr, i, 9, answer_images, &answer_count); },
     H_ERR_FGDV, true},
    {"GrabData",
     [](auto& fg, auto i) { return fg.GrabData(nullptr, i, nullptr, nullptr, nullptr, nullptr); },
     H_ERR_FGNOTSUP, false},
    {"GrabDataAsync",
     [](auto& fg, auto i) {
       return fg.GrabDataAsync(nullptr, i, 9, nullptr, nullptr, nullptr, nullptr);
     },
     H_ERR_FGNOTSUP, false},
    {"SetParam",
     [](auto& fg, auto i) { return fg.SetParam(nullptr, i, "grab_timeout", &kTimeout); },
     H_ERR_FGPARV, true},
    {"GetParam",
     [](auto& fg, auto i) {
       return fg.GetParam(nullptr, i, "grab_timeout", answer_values, &answer_count);
     },
     H_ERR_FGPARV, false},
};

// Everything a refused operation must leave as it was: both records, the
// host calls, the camera's connects and grab starts, the SDK objects.
std::vector<uint64_t> Snapshot(const FGInstance& host) {
  const auto* fginst = reinterpret_cast<const unsigned char*>(&host);
  std::vector<uint64_t> state(fginst, fginst + sizeof host);
  if (host.inst_data != nullptr) {
    const auto* inst = reinterpret_cast<const unsigned char*>(host.inst_data);
    state.insert(state.end(), inst, inst + sizeof *host.inst_data);
  }
  for (int kind = 0; kind < hostlayer::kHostCallKinds; ++kind) {
    state.push_back(hostlayer::CallCount(static_cast<hostlayer::HostCall>(kind)));
  }
  const sdkabi::Counters camera = SdkControls().CameraCounters(kMonoKey);
  const sdkabi::LiveObjectCount objects = SdkControls().LiveObjects();
  state.insert(state.end(), {camera.connects, camera.grab_starts, objects.controls, objects.streams,
                             objects.frames, objects.value_nodes, objects.named_nodes});
  return state;
}

// Catches an operation that reaches into a closed instance (a destroyed
// mutex locked, released camera objects used, a grab started on a camera
// another instance opened since, or a code other than its own), and grabs
// and sets that go on for a device string that names no camera, or another
// one, than the instance opened; reads and the unsupported grabs need no
// device and are served.
TEST_F(CloseTest, InstanceGateAnswersForInstancesNotOpen) {
  const auto expect_refused = [this](FGInstance* fginst, bool only_device_needed) {
    for (const Operation& op : kOperations) {
      if (only_device_needed && !op.device_needed) continue;
      SCOPED_TRACE(op.name);
      const std::vector<uint64_t> before = Snapshot(*fginst);
      EXPECT_EQ(op.call(driver().fg_class(), fginst), op.refused);
      EXPECT_EQ(Snapshot(*fginst), before);
    }
  };
  auto instance = OpenOk(kMonoKey);
  ASSERT_TRUE(instance);
  FGInstance closed = *instance->raw();
  ASSERT_EQ(instance->Close(), H_MSG_OK);
  ASSERT_TRUE(OpenOk(kMonoKey));  // reuses the freed record, and closes
  expect_refused(&closed, false);
  closed.inst_data = nullptr;
  expect_refused(&closed, false);

  instance = OpenOk(kMonoKey);
  ASSERT_TRUE(instance);
  FGInstance* fginst = instance->raw();
  for (const char* device : {"gone", kColorKey}) {
    SCOPED_TRACE(device);
    std::snprintf(fginst->device, sizeof fginst->device, "%s", device);
    expect_refused(fginst, true);
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
}  // namespace device_test
