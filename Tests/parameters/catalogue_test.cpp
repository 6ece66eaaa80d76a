// The whole vocabulary through the host driver, one row per name: each is
// set with each wrong type, set in capitals and read back in small letters,
// and asked for each metadata query.  Then the information queries about
// the interface as a whole.
#include <algorithm>
#include <cctype>
#include <optional>
#include <tuple>

#include "parameter_test_util.h"
#include "parameters/host_value_list.h"

namespace parameter_test {
namespace {

// How a name is served: read-only names refuse every set, write-only ones
// are not readable, and actions take a value of any type.
enum Access { kReadOnly, kReadWrite, kWriteOnly, kAction };

struct Row {
  const char* name;
  Access access;
  Value value;                   // set (of the one accepted type) and read back
  std::optional<Values> values;  // the _values answer; none: no such query
  Values range;                  // for the test camera as opened; empty: no such query
  const char* description;
  const char* category;  // null: no such query
};

// A value list of one type.
template <class T>
Values List(std::initializer_list<T> items) {
  return Values(items.begin(), items.end());
}

const Values kSwitch = List({"disable", "enable"});
const Values kBool = List({"False", "True"});

// One parameter per row.
// clang-format off
const Row kRows[] = {
    {"grab_timeout", kReadWrite, int64_t{1234}, std::nullopt, List<int64_t>({1, 32767, 1, 5000}),
     "Specifies the desired timeout for aborting a pending grab in milliseconds", nullptr},
    {"num_buffers", kReadOnly, int64_t{2}, std::nullopt, {}, "Current number of image buffers",
     nullptr},
    {"revision", kReadOnly, "5.x", std::nullopt, {}, "Current interface revision", nullptr},
    {"start_async_after_grab_async", kReadWrite, "disable", kSwitch, {},
     "Specifies if at the end of 'grab_image_async' a new async grab command is called "
     "automatically", nullptr},
    {"volatile", kReadWrite, "enable", kSwitch, {},
     "In volatile mode the interface buffers are used directly to store the grabbed images",
     nullptr},
    {"bits_per_channel", kWriteOnly, int64_t{8}, Values{int64_t{8}}, {},
     "Specifies the desired bits per channel in the HALCON image", nullptr},
    {"horizontal_resolution", kWriteOnly, int64_t{320}, std::nullopt, {},
     "Specifies the horizontal image resolution", nullptr},
    {"vertical_resolution", kWriteOnly, int64_t{240}, std::nullopt, {},
     "Specifies the vertical image resolution", nullptr},
    {"do_abort_grab", kAction, int64_t{1}, Values{int64_t{1}}, {}, "Aborts the current grab",
     nullptr},
    {"do_TriggerSoftware", kAction, int64_t{1}, Values{int64_t{1}}, {}, "trigger software=",
     "AcquisitionControl"},
    {"TriggerMode", kReadWrite, "software_trigger",
     List({"continuous", "software_trigger", "line_trigger"}), {}, "Set camera acquisition mode",
     "AcquisitionControl"},
    {"ReverseX", kReadWrite, "True", kBool, {},
     "Specifies if you want to reverse the image in x coordinate", "ImageFormatControl"},
    {"ReverseY", kReadWrite, "True", kBool, {},
     "Specifies if you want to reverse the image in y coordinate", "ImageFormatControl"},
    {"PixelFormat", kReadWrite, "Mono10", List({"Mono8", "Mono10", "BayerRG8"}), {},
     "Specifies the desired pixel format", "ImageFormatControl"},
    {"DeviceUserID", kReadWrite, "lab-1", Values{}, {}, "User-programmable device identifier",
     "DeviceControl"},
    {"ExposureTime", kReadWrite, 2000.0, std::nullopt, {10.0, 100000.0, 1.0, 1000.0},
     "Specifies the desired exposure time", "AcquisitionControl"},
    {"AcquisitionFrameRate", kReadWrite, 25.0, std::nullopt, {1.0, 120.0, 1.0, 30.0},
     "Specifies the desired acquisition frame rate", "AcquisitionControl"},
    {"AcquisitionFrameRateEnable", kReadWrite, "True", kBool, {},
     "Specifies if you want to enable the acquisition frame rate", "AcquisitionControl"},
    {"GainRaw", kReadWrite, 2.0, std::nullopt, {0.0, 16.0, 1.0, 1.0},
     "Specifies the desired gain raw", "AnalogControl"},
    {"Gamma", kReadWrite, 1.5, std::nullopt, {0.1, 4.0, 1.0, 1.0}, "Specifies the desired Gamma",
     "AnalogControl"},
    {"Contrast", kReadWrite, int64_t{12}, std::nullopt, List<int64_t>({-48, 48, 4, 0}),
     "Specifies the desired contrast", "ISPControl"},
    {"Width", kReadWrite, int64_t{320}, std::nullopt, List<int64_t>({16, 1280, 16, 640}),
     "Specifies the desired width", "ImageFormatControl"},
    {"Height", kReadWrite, int64_t{240}, std::nullopt, List<int64_t>({2, 960, 2, 480}),
     "Specifies the desired height", "ImageFormatControl"},
};
// clang-format on

std::string InCase(std::string text, int (*change)(int)) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [change](unsigned char c) { return static_cast<char>(change(c)); });
  return text;
}

// The answer to `name` (status and values); `expected` null: refused with
// H_ERR_FGPARAM, as no such name.
void ExpectAnswer(hostlayer::Instance& inst, const std::string& name,
                  const std::optional<Values>& expected) {
  Values answer;
  EXPECT_EQ(inst.GetParam(name, &answer), expected ? H_MSG_OK : H_ERR_FGPARAM) << name;
  EXPECT_EQ(answer, expected.value_or(Values{})) << name;
}

class CatalogueTest : public ParameterTest {};

// Catches a parameter that accepts a value of the wrong type (and reads the
// payload as something it is not), an action that checks a type, a
// read-only name that can be set; a set that stores into the wrong field, a
// read that answers another field or a wrong type, a write-only name that
// is readable; a missing or extra metadata entry, a wrong text, value order
// or type, a range not read from the camera; and case-sensitive matching of
// names, or matching that folds more than ASCII letters.
TEST_F(CatalogueTest, EveryNameAnswersItsRow) {
  auto inst = OpenOk(kKey);
  ASSERT_TRUE(inst);
  for (const Row& row : kRows) {
    const std::string name = row.name;
    for (const Value& value : {Value{int64_t{8}}, Value{8.0}, Value{std::string("enable")}}) {
      if (row.access == kAction) {
        EXPECT_EQ(inst->SetParam(name, value), H_MSG_OK) << name;
      } else if (row.access == kReadOnly) {
        EXPECT_EQ(inst->SetParam(name, value), H_ERR_FGPARAM) << name;
      } else if (value.index() != row.value.index()) {
        EXPECT_EQ(inst->SetParam(name, value), H_ERR_FGPART) << name << " " << value.index();
      }
    }
    ExpectAnswer(*inst, name + "_values", row.values);
    ExpectAnswer(*inst, name + "_range",
                 row.range.empty() ? std::nullopt : std::optional(row.range));
    ExpectAnswer(*inst, InCase(name, ::toupper) + "_DESCRIPTION", Values{row.description});
    ExpectAnswer(*inst, name + "_Category",
                 row.category ? std::optional(Values{row.category}) : std::nullopt);
    if (row.access != kReadOnly) {
      EXPECT_EQ(inst->SetParam(InCase(name, ::toupper), row.value), H_MSG_OK) << name;
    }
    const bool readable = row.access == kReadOnly || row.access == kReadWrite;
    ExpectAnswer(*inst, InCase(name, ::tolower),
                 readable ? std::optional(Values{row.value}) : std::nullopt);
    // Suffixes are not parsed: anything else is not a name.
    for (const char* suffix : {"_value", "_range_values", "\xC3\xA4", " "}) {
      ExpectAnswer(*inst, name + suffix, std::nullopt);
    }
    ExpectAnswer(*inst, name.substr(0, name.size() - 1), std::nullopt);
    // A set request knows no metadata name.
    EXPECT_EQ(inst->SetParam(name + "_values", row.value), H_ERR_FGPARAM) << name;
  }
  ExpectAnswer(*inst, "", std::nullopt);
  const FGInstance& fginst = *inst->raw();
  EXPECT_EQ(std::tuple(fginst.image_width, fginst.image_height, fginst.horizontal_resolution,
                       fginst.vertical_resolution),
            std::tuple(320, 240, 320, 240));
  ASSERT_EQ(inst->SetParam("do_abort_grab", 0.5), H_MSG_OK);  // the pending trigger goes
  ASSERT_EQ(inst->SetParam("volatile", std::string("disable")), H_MSG_OK);
}

// Catches a wrong text, value, order or type for any query number, a list
// for a query that has none, a query that fails, and defaults that are not
// the host's own list built from the interface record.
TEST_F(CatalogueTest, EveryInformationQueryAnswersItsTextAndValues) {
  std::vector<std::tuple<int32_t, const char*, Values>> cases = {
      {0, "Value list for port parameter.", List<int64_t>({0, 1, 2, 3})},
      {1, "Value list for camera type parameter.", List({"ntsc", "pal", "auto"})},
      {2, "HALCON image acquisition interface template.", {}},
      {3,
       "Default values (as used for open_framegrabber).",
       {int64_t{1}, int64_t{1}, int64_t{0}, int64_t{0}, int64_t{0}, int64_t{0},
        std::string("progressive"), int64_t{8}, std::string("default"), 1.0, std::string("false"),
        std::string("auto"), std::string("0"), int64_t{0}, int64_t{0}}},
      {4, "Additional parameters for this image acquisition interface.",
       List({"Width", "Height", "ReverseX", "ReverseY", "PixelFormat", "AcquisitionFrameRate",
             "AcquisitionFrameRateEnable", "TriggerMode", "ExposureTime", "do_TriggerSoftware",
             "DeviceUserID", "GainRaw", "Gamma", "Contrast", "do_abort_grab"})},
      {6, "Current interface revision.", List({"5.x"})},
      {8, "Value list for field parameter.", List({"interlaced", "progressive"})},
      {9, "Value list for bits per channel parameter.", {int64_t{8}}},
      {10, "Value list for color space parameter.", List({"default", "gray", "rgb"})},
      {12, "Value list for device parameter.", List({"default", "0", "1"})},
      {13, "Additional read-only parameters for this interface.",
       List({"num_buffers", "revision"})},
      {14, "Additional write-only parameters for this interface.",
       List({"do_abort_grab", "do_TriggerSoftware"})},
      {19, "Value list for horizontal resolution parameter.", {int64_t{1}}},
      {20, "Value list for vertical resolution parameter.", {int64_t{1}}},
  };
  for (int32_t query : {7, 11, 15, 16, 17, 18, 21, 1000, -1}) {
    cases.emplace_back(query, "Unsupported query!", Values{});
  }
  for (const auto& [query, expected_text, expected_values] : cases) {
    std::string text;
    Values values;
    ASSERT_EQ(driver().Info(query, &text, &values), H_MSG_OK) << query;
    EXPECT_EQ(text, expected_text) << query;
    EXPECT_EQ(values, expected_values) << query;
  }
  // A failed allocation answers the host's code and no list.
  for (int32_t query : {0, 1, 4, 5, 6, 13}) {
    hostlayer::FailCall(hostlayer::HostCall::Alloc, 1, 9004);
    const char* info = nullptr;
    ParamValue* values = reinterpret_cast<ParamValue*>(0x1);
    int32_t count = -1;
    EXPECT_EQ(driver().fg_class().Info(nullptr, query, &info, &values, &count), 9004) << query;
    EXPECT_TRUE(info != nullptr && values == nullptr && count == 0) << query;
  }
  hostlayer::FailCall(hostlayer::HostCall::GetDefaults, 1, 9003);
  std::string text;
  Values values;
  EXPECT_EQ(driver().Info(3, &text, &values), 9003);
  ASSERT_FALSE(hostlayer::ProcessErrLog().empty());
  EXPECT_EQ(hostlayer::ProcessErrLog().back().text,
            "HFgGetDefaults(proc_id, fgClass, values, numValues)");
}

// Catches board texts taken apart from the list (they leak: the host frees
// one block), a name with spaces not stripped, an empty name not replaced
// by the key, a name past its field, a port that is not the table index,
// and a list that is not empty, or fails, without cameras.
TEST_F(CatalogueTest, BoardListNamesEveryCameraInOneBlock) {
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
  EXPECT_EQ(values, List({"device:LineScanCam port:0", "device:KEYB port:1",
                          ("device:" + std::string(1023 - 7, 'n')).c_str()}));
  EXPECT_EQ(hostlayer::Memory().live_blocks, blocks_before);
  UseCameras({});
  ASSERT_EQ(driver().Info(5, &text, &values), H_MSG_OK);
  EXPECT_TRUE(values.empty());
}

// Catches a list builder that writes past its block when asked for more
// than it allocated, or keeps a list that was not handed over.
TEST(NameList, NothingIsWrittenPastTheBlock) {
  hostlayer::Reset();
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
