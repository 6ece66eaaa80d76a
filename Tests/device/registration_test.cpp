// FGInit, the interface record, the instance pool and device-string matching.
#include <cstring>
#include <string>
#include <vector>

#include "device_test_util.h"

namespace {

using device_test::Camera;
using device_test::Record;
using hacq_test::DefaultParams;

class RegistrationTest : public hacq_test::InterfaceTest {};

// Catches a missing operation, or a stray one in a slot the interface does
// not offer.  (The record's defaults are checked through the defaults query.)
TEST_F(RegistrationTest, FillsInterfaceRecord) {
  FGClass& fg = driver().fg_class();
  EXPECT_EQ(fg.revision_number, 5);
  EXPECT_TRUE(fg.available);
  EXPECT_EQ(fg.instances_max, 256);
  const void* slots[] = {
      reinterpret_cast<void*>(fg.OpenRequest),    reinterpret_cast<void*>(fg.Open),
      reinterpret_cast<void*>(fg.Close),          reinterpret_cast<void*>(fg.Grab),
      reinterpret_cast<void*>(fg.GrabStartAsync), reinterpret_cast<void*>(fg.GrabAsync),
      reinterpret_cast<void*>(fg.GrabData),       reinterpret_cast<void*>(fg.GrabDataAsync),
      reinterpret_cast<void*>(fg.Info),           reinterpret_cast<void*>(fg.SetParam),
      reinterpret_cast<void*>(fg.GetParam)};
  for (const void* slot : slots) EXPECT_NE(slot, nullptr);
  EXPECT_EQ(fg.SetLut, nullptr);
  EXPECT_EQ(fg.GetLut, nullptr);
  EXPECT_EQ(fg.SetParamTuple, nullptr);
  EXPECT_EQ(fg.GetParamTuple, nullptr);
}

// Catches a request that marks the record (two requests without an open
// must get the same one), a pool that does not reuse the lowest record, and
// a registration that keeps state of the previous one: a record handed out
// after FGInit must be all zero except its index.
TEST_F(RegistrationTest, RequestHandsOutLowestFreeRecordAndReinitClearsThem) {
  FGClass& fg = driver().fg_class();
  FGInstance probe{};
  EXPECT_EQ(fg.OpenRequest(nullptr, &probe), &fg.instance[0]);
  EXPECT_EQ(fg.OpenRequest(nullptr, &probe), &fg.instance[0]);
  {
    auto a = OpenOk("default");
    auto b = OpenOk(hacq_test::kColorKey);
    auto c = OpenOk(hacq_test::kMonoKey);
    ASSERT_TRUE(a && b && c);
    EXPECT_EQ(Record(*a).pool_index, 0);
    EXPECT_EQ(Record(*b).pool_index, 1);
    EXPECT_EQ(Record(*c).pool_index, 2);
    EXPECT_EQ(fg.OpenRequest(nullptr, &probe), &fg.instance[3]);
    ASSERT_EQ(b->Close(), H_MSG_OK);
    EXPECT_EQ(fg.OpenRequest(nullptr, &probe), &fg.instance[1]);
    auto d = OpenOk(hacq_test::kColorName);
    ASSERT_TRUE(d);
    EXPECT_EQ(Record(*d).pool_index, 1);
  }
  ASSERT_EQ(driver().Reinit(), H_MSG_OK);
  ASSERT_EQ(fg.OpenRequest(nullptr, &probe), &fg.instance[0]);
  InstanceRecord expected;
  std::memset(&expected, 0, sizeof expected);
  EXPECT_EQ(std::memcmp(probe.inst_data, &expected, sizeof expected), 0);
}

struct MatchCase {
  const char* device;
  const char* opened_key;  // null: the open fails with 5302
};

// Catches case-sensitive fixed words, a key tested before "default"/"0",
// names matched with their spaces, and empty names matching "".
TEST_F(RegistrationTest, DeviceStringsSelectTheirCamera) {
  UseCameras({Camera("FIRST KEY", "First Cam"), Camera("default", "0"), Camera("NAMELESS", ""),
              Camera("Second", "Two Words")});
  const MatchCase cases[] = {
      {"default", "FIRST KEY"},  {"DEFAULT", "FIRST KEY"},  {"0", "FIRST KEY"},
      {"DeFaUlT", "FIRST KEY"},  {"FIRSTKEY", "FIRST KEY"}, {"firstkey", "FIRST KEY"},
      {"FirstCam", "FIRST KEY"}, {"FIRSTCAM", "FIRST KEY"}, {"NAMELESS", "NAMELESS"},
      {"nameless", "NAMELESS"},  {"TwoWords", "Second"},    {"SECOND", "Second"},
      {"FIRST KEY", nullptr},    {"Two Words", nullptr},    {"", nullptr},
      {"unknown", nullptr},      {"default ", nullptr},
  };
  for (const MatchCase& c : cases) {
    SCOPED_TRACE(c.device);
    std::unique_ptr<hostlayer::Instance> instance;
    const Herror status = TryOpen(DefaultParams(c.device), &instance);
    if (c.opened_key == nullptr) {
      EXPECT_EQ(status, H_ERR_FGDV);
      continue;
    }
    ASSERT_EQ(status, H_MSG_OK);
    EXPECT_TRUE(hacq_test::SdkControls().IsConnected(c.opened_key));
  }
  ExpectNoLeaks("after the matching cases");
}

// Catches a table whose empty name is left with an earlier camera's text,
// and opens that reach a camera when none was discovered.
TEST_F(RegistrationTest, StaleNamesAndAnEmptyTableOpenNothing) {
  UseCameras({Camera("NAMED", "Some Name")});
  UseCameras({Camera("NAMELESS", "")});
  EXPECT_EQ(TryOpen(DefaultParams("SomeName")), H_ERR_FGDV);
  EXPECT_EQ(TryOpen(DefaultParams("NAMELESS")), H_MSG_OK);
  UseCameras({});
  for (const char* device : {"default", "0", hacq_test::kMonoKey, ""}) {
    EXPECT_EQ(TryOpen(DefaultParams(device)), H_ERR_FGDV) << device;
  }
}

// Catches writes past the 1024-character name and key fields (the sanitizer
// build sees them); a cut key still selects its camera.
TEST_F(RegistrationTest, OverlongNamesAndKeysAreCut) {
  const std::string long_key(1500, 'K');
  const std::string long_name = std::string(700, 'N') + " " + std::string(700, 'M');
  UseCameras({Camera(long_key, long_name)});
  EXPECT_EQ(TryOpen(DefaultParams(long_key.substr(0, 1023))), H_MSG_OK);
  EXPECT_EQ(TryOpen(DefaultParams(long_key.substr(0, 1000))), H_ERR_FGDV);
}

// Catches a table overrun past 100 cameras and counts that walk past the
// cameras actually held (the board list included).
TEST_F(RegistrationTest, HoldsTheFirstHundredCameras) {
  std::vector<simsdk::CameraConfig> cameras;
  for (int i = 0; i < 105; ++i) cameras.push_back(Camera("CAM" + std::to_string(i), ""));
  UseCameras(cameras);
  EXPECT_EQ(TryOpen(DefaultParams("CAM99")), H_MSG_OK);
  EXPECT_EQ(TryOpen(DefaultParams("CAM100")), H_ERR_FGDV);
  EXPECT_EQ(TryOpen(DefaultParams("CAM104")), H_ERR_FGDV);
  std::string text;
  std::vector<hostlayer::Value> boards;
  ASSERT_EQ(driver().Info(5, &text, &boards), H_MSG_OK);
  EXPECT_EQ(boards.size(), 100u);
}

// Catches a failed discovery that still reports success or keeps the old
// table.
TEST_F(RegistrationTest, FailedDiscoveryOrSystemAnswers3) {
  const sdkabi::FaultPoint ops[] = {sdkabi::FaultPoint::SystemInstance,
                                    sdkabi::FaultPoint::Discovery};
  const char* lines[] = {"pSystem is null.\r\n", "discovery device fail.\r\n"};
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(lines[i]);
    hacq_test::SdkControls().InjectFault("", ops[i]);
    Herror status = 0;
    const auto output = device_test::Capture([&] { status = driver().Reinit(); });
    EXPECT_EQ(status, 3);
    EXPECT_EQ(output.out, lines[i]);
    // The host does not use an interface whose registration failed.
    EXPECT_EQ(TryOpen(DefaultParams("default")), hostlayer::kErrNotLoaded);
    ASSERT_EQ(driver().Reinit(), H_MSG_OK);
  }
}

}  // namespace
