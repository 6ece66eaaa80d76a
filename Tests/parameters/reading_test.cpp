// Reads that go past the catalogue's fixed answers: camera ranges and
// counts.
#include <iterator>

#include "parameter_test_util.h"

namespace parameter_test {
namespace {

class ReadingTest : public ParameterTest {
 protected:
  // The raw get call, so the count and the untouched elements can be seen.
  struct RawAnswer {
    Herror status;
    int32_t count;
    ParamValue values[4];
  };
  RawAnswer RawGet(FGInstance* fginst, const char* name) {
    RawAnswer answer{};
    for (ParamValue& value : answer.values) {
      value.par.l = kSentinel;
      value.type = 99;
    }
    answer.count = -5;
    answer.status =
        driver().fg_class().GetParam(nullptr, fginst, name, answer.values, &answer.count);
    return answer;
  }
  static void ExpectUntouched(const RawAnswer& answer, const char* name) {
    EXPECT_EQ(answer.count, 1) << name;
    for (const ParamValue& value : answer.values) {
      EXPECT_EQ(value.type, 99) << name;
      EXPECT_EQ(value.par.l, kSentinel) << name;
    }
  }
  static constexpr int64_t kSentinel = 0x5A5A5A5A;
};

const char* const kCameraRanges[] = {"ExposureTime_range", "AcquisitionFrameRate_range",
                                     "GainRaw_range",      "Gamma_range",
                                     "Contrast_range",     "Width_range",
                                     "Height_range"};

// Catches a range answered with whatever the SDK left in the values when a
// read failed, and a failed query that still reports four values.
TEST_F(ReadingTest, RangeFailsWhenTheCameraRefusesARead) {
  auto inst = OpenOk(kKey);
  ASSERT_TRUE(inst);
  const char* const features[] = {
      "ExposureTime", "AcquisitionFrameRate", "GainRaw", "Gamma", "Contrast", "Width", "Height"};
  for (size_t i = 0; i < std::size(features); ++i) {
    hacq_test::SdkControls().InjectFault(kKey, sdkabi::FaultPoint::FeatureRead, 1, features[i]);
    const RawAnswer answer = RawGet(inst->raw(), kCameraRanges[i]);
    EXPECT_EQ(answer.status, H_ERR_FGPARV) << kCameraRanges[i];
    ExpectUntouched(answer, kCameraRanges[i]);
  }
  hacq_test::SdkControls().ClearFaults();
  const RawAnswer answer = RawGet(inst->raw(), "Width_range");
  EXPECT_EQ(answer.status, H_MSG_OK);
  EXPECT_EQ(answer.count, 4);
}

// Catches plain reads that ask the camera (they must answer the value the
// interface stored) and value lists whose count is not their length.
TEST_F(ReadingTest, PlainReadsAnswerTheStoredValuesAndListsTheirCounts) {
  auto inst = OpenOk(kKey);
  ASSERT_TRUE(inst);
  simsdk::UpdateCamera(kKey, [](simsdk::CameraConfig& camera) {
    camera.exposure_time.value = 4321.0;
    camera.width.value = 1280;
    camera.device_user_id.value = "changed";
  });
  EXPECT_EQ(Get(*inst, "ExposureTime"), Values{1000.0});
  EXPECT_EQ(Get(*inst, "Width"), Values{int64_t{640}});
  EXPECT_EQ(Get(*inst, "DeviceUserID"), Values{std::string("cam-a")});
  EXPECT_EQ(Get(*inst, "ExposureTime_range")[3], Value{4321.0});  // ranges do ask

  EXPECT_EQ(RawGet(inst->raw(), "DeviceUserID_values").count, 0);
  EXPECT_EQ(RawGet(inst->raw(), "DeviceUserID_values").status, H_MSG_OK);
  EXPECT_EQ(RawGet(inst->raw(), "TriggerMode_values").count, 3);
  EXPECT_EQ(RawGet(inst->raw(), "PixelFormat_values").count, 3);
  EXPECT_EQ(RawGet(inst->raw(), "grab_timeout").count, 1);
  const RawAnswer unknown = RawGet(inst->raw(), "grab_timeout_values");
  EXPECT_EQ(unknown.status, H_ERR_FGPARAM);
  ExpectUntouched(unknown, "grab_timeout_values");
}

// Catches a read of the pixel format outside the 256-entry list when the
// stored index is out of range.
TEST_F(ReadingTest, PixelFormatIndexOutsideTheListReadsEmpty) {
  auto inst = OpenOk(kKey);
  ASSERT_TRUE(inst);
  InstanceRecord& record = Record(*inst);
  const int32_t index = record.pixel_format_index;
  for (int32_t bad : {-1, 256, 100000}) {
    record.pixel_format_index = bad;
    EXPECT_EQ(Get(*inst, "PixelFormat"), Values{std::string()}) << bad;
  }
  record.pixel_format_index = index;
}

}  // namespace
}  // namespace parameter_test
