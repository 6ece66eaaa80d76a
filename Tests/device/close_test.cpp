// FGClose, and instances that share one camera under different device
// strings.  (Host calls failing during a close, and the close retried after
// them, are covered by the fault sweep; grabs on one instance while another
// of the same camera opens and closes, by the stress test.)
#include <cstdio>
#include <string>

#include "device_test_util.h"

namespace {

using hacq_test::DefaultParams;
using hacq_test::kMonoKey;
using hacq_test::kMonoName;
using hostlayer::HostCall;

constexpr Herror kHostCode = 4711;

class CloseTest : public hacq_test::InterfaceTest {};

// Catches a close that leaves the stream grabbing or the camera connected,
// one that forgets to return the record, and one that stops a stream that
// is not grabbing.
TEST_F(CloseTest, StopsAGrabbingStreamAndDisconnects) {
  for (const bool grab : {true, false}) {
    SCOPED_TRACE(grab ? "grabbing" : "idle");
    auto instance = OpenOk(kMonoKey);
    ASSERT_TRUE(instance);
    const uint64_t stops = hacq_test::SdkControls().CameraCounters(kMonoKey).grab_stops;
    hostlayer::Images images;
    if (grab) {
      ASSERT_EQ(instance->Grab(&images), H_MSG_OK);
    }
    EXPECT_EQ(hacq_test::SdkControls().IsGrabbing(kMonoKey), grab);
    ASSERT_EQ(instance->Close(), H_MSG_OK);
    EXPECT_FALSE(hacq_test::SdkControls().IsGrabbing(kMonoKey));
    EXPECT_FALSE(hacq_test::SdkControls().IsConnected(kMonoKey));
    EXPECT_EQ(hacq_test::SdkControls().CameraCounters(kMonoKey).grab_stops, stops + (grab ? 1 : 0));
    EXPECT_EQ(hacq_test::SdkControls().LiveObjects(), sdkabi::LiveObjectCount{});
    images.clear();  // the delivered image is the caller's until dropped
    ExpectNoLeaks("after close");
  }
}

// Catches a close that gives up (and leaks) when the camera refuses to stop
// or to disconnect; both are printed and passed by.
TEST_F(CloseTest, StopAndDisconnectFailuresArePrintedAndPassed) {
  auto instance = OpenOk(kMonoKey);
  ASSERT_TRUE(instance);
  hostlayer::Images images;
  ASSERT_EQ(instance->Grab(&images), H_MSG_OK);
  hacq_test::SdkControls().InjectFault(kMonoKey, sdkabi::FaultPoint::StopGrabbing);
  hacq_test::SdkControls().InjectFault(kMonoKey, sdkabi::FaultPoint::Disconnect);
  Herror status = 0;
  const auto output = device_test::Capture([&] { status = instance->Close(); });
  EXPECT_EQ(status, H_MSG_OK);
  EXPECT_EQ(output.out, "stop grabbing fail.\r\ndisconnect camera fail.\r\n");
  EXPECT_EQ(hacq_test::SdkControls().LiveObjects().controls, 0u);
  EXPECT_EQ(hacq_test::SdkControls().LiveObjects().streams, 0u);
}

// Catches a close whose device string no longer matches a camera and that
// therefore keeps the record, its board and its buffers for good.
TEST_F(CloseTest, DeviceStringChangedAfterOpenStillFreesEverything) {
  auto instance = OpenOk(kMonoKey);
  ASSERT_TRUE(instance);
  std::snprintf(instance->raw()->device, sizeof instance->raw()->device, "gone");
  ASSERT_EQ(instance->Close(), H_MSG_OK);
  EXPECT_FALSE(hacq_test::SdkControls().IsConnected(kMonoKey));
  ExpectNoLeaks("after close");
  EXPECT_EQ(TryOpen(DefaultParams(kMonoKey)), H_MSG_OK);
}

class SharedCameraTest : public hacq_test::InterfaceTest {};

// Catches a second open that overwrites (and leaks) the first one's SDK
// objects, and a close that releases objects the other instance still uses.
TEST_F(SharedCameraTest, ObjectsLiveUntilTheLastInstanceCloses) {
  auto by_default = OpenOk("default");
  ASSERT_TRUE(by_default);
  const sdkabi::LiveObjectCount one_open = hacq_test::SdkControls().LiveObjects();
  EXPECT_EQ(one_open.controls, 6u);
  EXPECT_EQ(one_open.streams, 1u);

  auto by_name = OpenOk(kMonoName);
  ASSERT_TRUE(by_name);
  EXPECT_EQ(hacq_test::SdkControls().LiveObjects(), one_open);

  hostlayer::Images images;
  ASSERT_EQ(by_default->Grab(&images), H_MSG_OK);
  ASSERT_EQ(by_default->Close(), H_MSG_OK);
  EXPECT_TRUE(hacq_test::SdkControls().IsConnected(kMonoKey));
  EXPECT_EQ(hacq_test::SdkControls().LiveObjects().controls, 6u);
  EXPECT_EQ(hacq_test::SdkControls().LiveObjects().streams, 1u);

  EXPECT_EQ(by_name->Grab(&images), H_MSG_OK);
  EXPECT_EQ(by_name->SetParam("ExposureTime", 2000.0), H_MSG_OK);
  EXPECT_EQ(by_name->Grab(&images), H_MSG_OK);

  ASSERT_EQ(by_name->Close(), H_MSG_OK);
  EXPECT_FALSE(hacq_test::SdkControls().IsConnected(kMonoKey));
  EXPECT_FALSE(hacq_test::SdkControls().IsGrabbing(kMonoKey));
  EXPECT_EQ(hacq_test::SdkControls().LiveObjects(), sdkabi::LiveObjectCount{});
}

// Catches a failed open that releases or disconnects the camera while
// another instance uses it.
TEST_F(SharedCameraTest, FailedOpenLeavesOtherUsersObjectsAlone) {
  auto first = OpenOk(kMonoKey);
  ASSERT_TRUE(first);
  const sdkabi::LiveObjectCount before = hacq_test::SdkControls().LiveObjects();
  hostlayer::OpenParams bad = DefaultParams("default");
  bad.port = int64_t{7};
  EXPECT_EQ(TryOpen(bad), H_ERR_FGPORT);
  hostlayer::FailCall(HostCall::Alloc, 2, kHostCode);
  EXPECT_EQ(TryOpen(DefaultParams("default")), kHostCode);
  EXPECT_TRUE(hacq_test::SdkControls().IsConnected(kMonoKey));
  EXPECT_EQ(hacq_test::SdkControls().LiveObjects(), before);
  hostlayer::Images images;
  EXPECT_EQ(first->Grab(&images), H_MSG_OK);
}

}  // namespace
