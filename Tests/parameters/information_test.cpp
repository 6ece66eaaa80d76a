// FGInfo: every query's text and values, the board list, and the one-block
// answer lists.
#include <span>

#include "parameter_test_util.h"
#include "parameters/host_value_list.h"

namespace parameter_test {
namespace {

class InformationTest : public ParameterTest {};

Values Texts(std::initializer_list<const char*> texts) {
  Values values;
  for (const char* text : texts) values.emplace_back(std::string(text));
  return values;
}

// Catches a wrong text, value, order or type for any query number, a list
// for a query that has none, and a query that fails.
TEST_F(InformationTest, EveryQueryAnswersItsTextAndValues) {
  struct Case {
    int32_t query;
    const char* text;
    Values values;
  };
  const Case cases[] = {
      {0, "Value list for port parameter.", {int64_t{0}, int64_t{1}, int64_t{2}, int64_t{3}}},
      {1, "Value list for camera type parameter.", Texts({"ntsc", "pal", "auto"})},
      {2, "HALCON image acquisition interface template.", {}},
      {4, "Additional parameters for this image acquisition interface.",
       Texts({"Width", "Height", "ReverseX", "ReverseY", "PixelFormat", "AcquisitionFrameRate",
              "AcquisitionFrameRateEnable", "TriggerMode", "ExposureTime", "do_TriggerSoftware",
              "DeviceUserID", "GainRaw", "Gamma", "Contrast", "do_abort_grab"})},
      {6, "Current interface revision.", Texts({"5.x"})},
      {8, "Value list for field parameter.", Texts({"interlaced", "progressive"})},
      {9, "Value list for bits per channel parameter.", {int64_t{8}}},
      {10, "Value list for color space parameter.", Texts({"default", "gray", "rgb"})},
      {12, "Value list for device parameter.", Texts({"default", "0", "1"})},
      {13, "Additional read-only parameters for this interface.",
       Texts({"num_buffers", "revision"})},
      {14, "Additional write-only parameters for this interface.",
       Texts({"do_abort_grab", "do_TriggerSoftware"})},
      {19, "Value list for horizontal resolution parameter.", {int64_t{1}}},
      {20, "Value list for vertical resolution parameter.", {int64_t{1}}},
  };
  for (const Case& c : cases) {
    std::string text;
    Values values;
    ASSERT_EQ(driver().Info(c.query, &text, &values), H_MSG_OK) << c.query;
    EXPECT_EQ(text, c.text) << c.query;
    EXPECT_EQ(values, c.values) << c.query;
  }
  for (int32_t query : {7, 11, 15, 16, 17, 18, 21, 1000, -1}) {
    std::string text;
    Values values;
    ASSERT_EQ(driver().Info(query, &text, &values), H_MSG_OK) << query;
    EXPECT_EQ(text, "Unsupported query!") << query;
    EXPECT_TRUE(values.empty()) << query;
  }
  ExpectNoLeaks("after the queries");
}

// Catches defaults that are not the host's own list built from the
// interface record.
TEST_F(InformationTest, DefaultsComeFromTheInterfaceRecord) {
  std::string text;
  Values values;
  ASSERT_EQ(driver().Info(3, &text, &values), H_MSG_OK);
  EXPECT_EQ(text, "Default values (as used for open_framegrabber).");
  // The interface record's defaults, in open parameter order.
  EXPECT_EQ(values, (Values{int64_t{1}, int64_t{1}, int64_t{0}, int64_t{0}, int64_t{0}, int64_t{0},
                            std::string("progressive"), int64_t{8}, std::string("default"), 1.0,
                            std::string("false"), std::string("auto"), std::string("0"), int64_t{0},
                            int64_t{0}}));

  hostlayer::FailCall(hostlayer::HostCall::GetDefaults, 1, 9003);
  EXPECT_EQ(driver().Info(3, &text, &values), 9003);
  ASSERT_FALSE(hostlayer::ProcessErrLog().empty());
  EXPECT_EQ(hostlayer::ProcessErrLog().back().text,
            "HFgGetDefaults(proc_id, fgClass, values, numValues)");
}

// Catches board texts taken apart from the list (they leak: the host frees
// one block), a name with spaces not stripped, an empty name not replaced
// by the key, a port that is not the table index, and a list that is not
// empty, or fails, without cameras.
TEST_F(InformationTest, BoardListNamesEveryCameraInOneBlock) {
  simsdk::CameraConfig named = TestCamera("KEY-A");
  named.name = "Line Scan  Cam";
  simsdk::CameraConfig unnamed = TestCamera("KEY B");
  unnamed.name = "";
  simsdk::CameraConfig long_name = TestCamera("KEY-C");
  long_name.name = std::string(3000, 'n');
  UseCameras({named, unnamed, long_name});
  const int64_t blocks_before = hostlayer::Memory().live_blocks;
  std::string text;
  Values values;
  ASSERT_EQ(driver().Info(5, &text, &values), H_MSG_OK);
  EXPECT_EQ(text, "Info about installed xy boards.");
  ASSERT_EQ(values.size(), 3u);
  EXPECT_EQ(values[0], Value{std::string("device:LineScanCam port:0")});
  EXPECT_EQ(values[1], Value{std::string("device:KEYB port:1")});
  const std::string& third = std::get<std::string>(values[2]);
  EXPECT_LE(third.size(), 1023u);
  EXPECT_EQ(third.rfind("device:nnn", 0), 0u);
  EXPECT_EQ(hostlayer::Memory().live_blocks, blocks_before);

  UseCameras({});
  ASSERT_EQ(driver().Info(5, &text, &values), H_MSG_OK);
  EXPECT_TRUE(values.empty());
}

// Catches an allocation failure that is swallowed or returns a list.
TEST_F(InformationTest, AllocationFailureReturnsTheHostsCodeAndNoList) {
  for (int32_t query : {0, 1, 4, 5, 6, 13}) {
    hostlayer::FailCall(hostlayer::HostCall::Alloc, 1, 9004);
    const char* info = nullptr;
    ParamValue* values = reinterpret_cast<ParamValue*>(0x1);
    int32_t count = -1;
    EXPECT_EQ(driver().fg_class().Info(nullptr, query, &info, &values, &count), 9004) << query;
    EXPECT_NE(info, nullptr) << query;
    EXPECT_EQ(values, nullptr) << query;
    EXPECT_EQ(count, 0) << query;
  }
  ExpectNoLeaks("after the failed allocations");
}

// The list builder itself, with lists of the wrong length: the count check
// must be a real comparison and report through the host's error printing.
class NameListTest : public ::testing::Test {
 protected:
  void SetUp() override { hostlayer::Reset(); }
  void TearDown() override { hostlayer::Reset(); }
};

// Catches a count check that cannot fire, a wrong message, a message printed
// while HDoLowError is off, and a list (leaked or returned) on the error.
TEST_F(NameListTest, WrongCountIsRefusedWith5330) {
  const std::span<const ParamId> all(kAdditionalParameters);
  struct Case {
    std::span<const ParamId> ids;
    bool low_error;
    Herror status;
    std::vector<std::string> messages;
  };
  const Case cases[] = {
      {all, true, H_MSG_OK, {}},
      {all.first(14), true, H_ERR_FGPARNUM, {"numValues(14) != FG_PARAM_NUM(15)"}},
      {all.first(14), false, H_ERR_FGPARNUM, {}},
      {all.first(0), true, H_ERR_FGPARNUM, {"numValues(0) != FG_PARAM_NUM(15)"}},
  };
  for (const Case& c : cases) {
    hostlayer::Reset();
    hostlayer::SetDoLowError(c.low_error);
    const int64_t blocks = hostlayer::Memory().live_blocks;
    ParamValue* values = nullptr;
    int32_t count = 0;
    EXPECT_EQ(AnswerNameList(nullptr, c.ids, FG_PARAM_NUM, &values, &count), c.status);
    EXPECT_EQ(hostlayer::ErrorMessages(), c.messages);
    if (c.status == H_MSG_OK) {
      ASSERT_EQ(count, FG_PARAM_NUM);
      EXPECT_STREQ(values[0].par.s, "Width");
      EXPECT_STREQ(values[14].par.s, "do_abort_grab");
      EXPECT_EQ(hostlayer::Memory().live_blocks, blocks + 1);  // one block for all
      EXPECT_EQ(HXFree(nullptr, values), H_MSG_OK);
    } else {
      EXPECT_EQ(values, nullptr);
      EXPECT_EQ(count, 0);
    }
    EXPECT_EQ(hostlayer::Memory().live_blocks, blocks);
  }
}

// Catches a builder that writes past its block when asked for more than it
// allocated.
TEST_F(NameListTest, ListRefusesValuesBeyondWhatItAllocated) {
  const int64_t blocks = hostlayer::Memory().live_blocks;
  {
    HostValueList list(nullptr);
    ASSERT_EQ(list.Allocate(2, 4), H_MSG_OK);
    EXPECT_TRUE(list.AddText("abc"));
    EXPECT_FALSE(list.AddText("d"));  // no text room left
    EXPECT_TRUE(list.AddInteger(5));
    EXPECT_FALSE(list.AddInteger(6));  // no value room left
  }                                    // not handed over: freed here
  EXPECT_EQ(hostlayer::Memory().live_blocks, blocks);
}

}  // namespace
}  // namespace parameter_test
