// Reads that go past the catalogue's fixed answers: camera ranges, counts,
// and requests for an instance whose camera is gone.
#include <cstring>
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
  const char* const features[] = {"ExposureTime", "AcquisitionFrameRate", "GainRaw", "Gamma",
                                  "Contrast",     "Width",                "Height"};
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

// Catches range queries and set requests that go on without a camera: a
// null entry when the instance's device names none, or camera objects a
// close has released (use after free).  Each must answer an error.
TEST_F(ReadingTest, RequestsWithoutAUsableCameraAnswerAnError) {
  auto inst = OpenOk(kKey);
  ASSERT_TRUE(inst);
  FGInstance orphan = *inst->raw();
  std::strcpy(orphan.device, "NO-SUCH-CAMERA");
  for (const char* name : kCameraRanges) {
    const RawAnswer answer = RawGet(&orphan, name);
    EXPECT_EQ(answer.status, H_ERR_FGPARV) << name;
    ExpectUntouched(answer, name);
  }
  // Fixed answers need no camera.
  EXPECT_EQ(RawGet(&orphan, "grab_timeout_range").status, H_MSG_OK);
  const ParamValue value{{.l = 7}, PV_INTEGER};
  EXPECT_EQ(driver().fg_class().SetParam(nullptr, &orphan, "grab_timeout", &value), H_ERR_FGPARV);
  EXPECT_EQ(Get(*inst, "grab_timeout"), Values{int64_t{5000}});

  FGInstance* fginst = inst->raw();
  ASSERT_EQ(inst->Close(), H_MSG_OK);
  for (const char* name : kCameraRanges) {
    EXPECT_GT(RawGet(fginst, name).status, H_MSG_OK) << name;
  }
  struct Request {
    const char* name;
    ParamValue value;
  };
  auto text = [](const char* s) { return ParamValue{{.s = const_cast<char*>(s)}, PV_STRING}; };
  const Request requests[] = {
      {"ExposureTime", {{.d = 5.0}, PV_FLOAT}},   {"Gamma", {{.d = 1.0}, PV_FLOAT}},
      {"Contrast", {{.l = 4}, PV_INTEGER}},       {"Width", {{.l = 320}, PV_INTEGER}},
      {"horizontal_resolution", {{.l = 320}, PV_INTEGER}},
      {"ReverseX", text("True")},                 {"AcquisitionFrameRateEnable", text("True")},
      {"PixelFormat", text("Mono8")},             {"DeviceUserID", text("x")},
      {"TriggerMode", text("continuous")},        {"do_TriggerSoftware", {{.l = 1}, PV_INTEGER}},
      {"volatile", text("enable")},
  };
  for (const Request& request : requests) {
    EXPECT_GT(driver().fg_class().SetParam(nullptr, fginst, request.name, &request.value),
              H_MSG_OK)
        << request.name;
  }
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
