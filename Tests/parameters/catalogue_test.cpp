// One pass over the whole vocabulary through the host driver: every name is
// set with each wrong type, set and read back, asked for each metadata
// query, and reached in other letter cases.
#include <algorithm>
#include <cctype>
#include <optional>

#include "parameter_test_util.h"

namespace parameter_test {
namespace {

enum Kind { kNotSettable, kInteger, kFloat, kString, kAction };
enum RangeRule { kNoRange, kFixedRange, kCameraRange };

struct Row {
  const char* name;
  Kind set_kind;
  Value good;                    // a value the set request accepts
  std::optional<Value> read;     // the read after that set; none: not readable
  std::optional<Values> values;  // the _values answer; none: no such query
  RangeRule range;
  Values range_answer;  // for the test camera as opened
  const char* description;
  const char* category;  // null: no such query
};

const Values kSwitch = {std::string("disable"), std::string("enable")};
const Values kBool = {std::string("False"), std::string("True")};

// One parameter per row.
// clang-format off
const Row kRows[] = {
    {"grab_timeout", kInteger, int64_t{1234}, int64_t{1234}, std::nullopt, kFixedRange,
     {int64_t{1}, int64_t{32767}, int64_t{1}, int64_t{5000}},
     "Specifies the desired timeout for aborting a pending grab in milliseconds", nullptr},
    {"num_buffers", kNotSettable, int64_t{3}, int64_t{2}, std::nullopt, kNoRange, {},
     "Current number of image buffers", nullptr},
    {"revision", kNotSettable, std::string("6.x"), std::string("5.x"), std::nullopt, kNoRange, {},
     "Current interface revision", nullptr},
    {"start_async_after_grab_async", kString, std::string("disable"), std::string("disable"),
     kSwitch, kNoRange, {},
     "Specifies if at the end of 'grab_image_async' a new async grab command is called "
     "automatically",
     nullptr},
    {"volatile", kString, std::string("enable"), std::string("enable"), kSwitch, kNoRange, {},
     "In volatile mode the interface buffers are used directly to store the grabbed images",
     nullptr},
    {"bits_per_channel", kInteger, int64_t{8}, std::nullopt, Values{int64_t{8}}, kNoRange, {},
     "Specifies the desired bits per channel in the HALCON image", nullptr},
    {"horizontal_resolution", kInteger, int64_t{320}, std::nullopt, std::nullopt, kNoRange, {},
     "Specifies the horizontal image resolution", nullptr},
    {"vertical_resolution", kInteger, int64_t{240}, std::nullopt, std::nullopt, kNoRange, {},
     "Specifies the vertical image resolution", nullptr},
    {"do_abort_grab", kAction, int64_t{1}, std::nullopt, Values{int64_t{1}}, kNoRange, {},
     "Aborts the current grab", nullptr},
    {"do_TriggerSoftware", kAction, int64_t{1}, std::nullopt, Values{int64_t{1}}, kNoRange, {},
     "trigger software=", "AcquisitionControl"},
    {"TriggerMode", kString, std::string("software_trigger"), std::string("software_trigger"),
     Values{std::string("continuous"), std::string("software_trigger"),
            std::string("line_trigger")},
     kNoRange, {}, "Set camera acquisition mode", "AcquisitionControl"},
    {"ReverseX", kString, std::string("True"), std::string("True"), kBool, kNoRange, {},
     "Specifies if you want to reverse the image in x coordinate", "ImageFormatControl"},
    {"ReverseY", kString, std::string("True"), std::string("True"), kBool, kNoRange, {},
     "Specifies if you want to reverse the image in y coordinate", "ImageFormatControl"},
    {"PixelFormat", kString, std::string("Mono10"), std::string("Mono10"),
     Values{std::string("Mono8"), std::string("Mono10"), std::string("BayerRG8")}, kNoRange, {},
     "Specifies the desired pixel format", "ImageFormatControl"},
    {"DeviceUserID", kString, std::string("lab-1"), std::string("lab-1"), Values{}, kNoRange, {},
     "User-programmable device identifier", "DeviceControl"},
    {"ExposureTime", kFloat, 2000.0, 2000.0, std::nullopt, kCameraRange,
     {10.0, 100000.0, 1.0, 1000.0}, "Specifies the desired exposure time", "AcquisitionControl"},
    {"AcquisitionFrameRate", kFloat, 25.0, 25.0, std::nullopt, kCameraRange,
     {1.0, 120.0, 1.0, 30.0}, "Specifies the desired acquisition frame rate",
     "AcquisitionControl"},
    {"AcquisitionFrameRateEnable", kString, std::string("True"), std::string("True"), kBool,
     kNoRange, {}, "Specifies if you want to enable the acquisition frame rate",
     "AcquisitionControl"},
    {"GainRaw", kFloat, 2.0, 2.0, std::nullopt, kCameraRange, {0.0, 16.0, 1.0, 1.0},
     "Specifies the desired gain raw", "AnalogControl"},
    {"Gamma", kFloat, 1.5, 1.5, std::nullopt, kCameraRange, {0.1, 4.0, 1.0, 1.0},
     "Specifies the desired Gamma", "AnalogControl"},
    {"Contrast", kInteger, int64_t{12}, int64_t{12}, std::nullopt, kCameraRange,
     {int64_t{-48}, int64_t{48}, int64_t{4}, int64_t{0}}, "Specifies the desired contrast",
     "ISPControl"},
    {"Width", kInteger, int64_t{320}, int64_t{320}, std::nullopt, kCameraRange,
     {int64_t{16}, int64_t{1280}, int64_t{16}, int64_t{640}}, "Specifies the desired width",
     "ImageFormatControl"},
    {"Height", kInteger, int64_t{240}, int64_t{240}, std::nullopt, kCameraRange,
     {int64_t{2}, int64_t{960}, int64_t{2}, int64_t{480}}, "Specifies the desired height",
     "ImageFormatControl"},
};
// clang-format on

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}
std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

const Value kOneOfEach[] = {int64_t{8}, 8.0, std::string("enable")};

bool SameKind(const Value& value, Kind kind) {
  return (kind == kInteger && std::holds_alternative<int64_t>(value)) ||
         (kind == kFloat && std::holds_alternative<double>(value)) ||
         (kind == kString && std::holds_alternative<std::string>(value));
}

class CatalogueTest : public ParameterTest {};

// Catches a parameter that accepts a value of the wrong type (and reads the
// payload as something it is not), an action that checks a type, or a
// read-only name that can be set.
TEST_F(CatalogueTest, EveryNameRefusesEachWrongType) {
  auto inst = OpenOk(kKey);
  ASSERT_TRUE(inst);
  for (const Row& row : kRows) {
    for (const Value& value : kOneOfEach) {
      if (row.set_kind == kAction) {
        EXPECT_EQ(Set(*inst, row.name, value), H_MSG_OK) << row.name;
      } else if (row.set_kind == kNotSettable) {
        EXPECT_EQ(Set(*inst, row.name, value), H_ERR_FGPARAM) << row.name;
      } else if (!SameKind(value, row.set_kind)) {
        EXPECT_EQ(Set(*inst, row.name, value), H_ERR_FGPART) << row.name << " " << value.index();
      }
    }
  }
  // The pending software trigger and abort leave nothing behind.
  ASSERT_EQ(Set(*inst, "do_abort_grab", 0.5), H_MSG_OK);
}

// Catches a missing or extra metadata entry, a wrong text, value order or
// type, and a range that is not read from the camera.
TEST_F(CatalogueTest, EveryMetadataQueryAnswersItsTable) {
  auto inst = OpenOk(kKey);
  ASSERT_TRUE(inst);
  for (const Row& row : kRows) {
    const std::string name = row.name;
    Values answer;
    Herror status = inst->GetParam(name + "_values", &answer);
    if (row.values) {
      EXPECT_EQ(status, H_MSG_OK) << name;
      EXPECT_EQ(answer, *row.values) << name;
    } else {
      EXPECT_EQ(status, H_ERR_FGPARAM) << name;
    }
    answer.clear();
    status = inst->GetParam(name + "_range", &answer);
    if (row.range != kNoRange) {
      EXPECT_EQ(status, H_MSG_OK) << name;
      EXPECT_EQ(answer, row.range_answer) << name;
    } else {
      EXPECT_EQ(status, H_ERR_FGPARAM) << name;
    }
    EXPECT_EQ(Get(*inst, name + "_description"), Values{std::string(row.description)}) << name;
    answer.clear();
    status = inst->GetParam(name + "_category", &answer);
    if (row.category != nullptr) {
      EXPECT_EQ(status, H_MSG_OK) << name;
      EXPECT_EQ(answer, Values{std::string(row.category)}) << name;
    } else {
      EXPECT_EQ(status, H_ERR_FGPARAM) << name;
    }
    // Suffixes are not parsed: anything else is not a name.
    EXPECT_EQ(GetStatus(*inst, name + "_value"), H_ERR_FGPARAM) << name;
    EXPECT_EQ(GetStatus(*inst, name + "_range_values"), H_ERR_FGPARAM) << name;
    EXPECT_EQ(GetStatus(*inst, name.substr(0, name.size() - 1)), H_ERR_FGPARAM) << name;
    // A set request knows no metadata name.
    EXPECT_EQ(Set(*inst, name + "_values", row.good), H_ERR_FGPARAM) << name;
  }
}

// Catches a set that stores into the wrong field, a read that answers
// another field or a wrong type, a write-only name that is readable, and
// case-sensitive matching of names (or matching that folds more than ASCII
// letters): each name is set in capitals and read back in small letters.
TEST_F(CatalogueTest, EveryNameSetsAndReadsBackInAnyLetterCase) {
  auto inst = OpenOk(kKey);
  ASSERT_TRUE(inst);
  for (const Row& row : kRows) {
    const std::string name = row.name;
    if (row.set_kind != kNotSettable) {
      EXPECT_EQ(Set(*inst, Upper(name), row.good), H_MSG_OK) << name;
    }
    if (row.read) {
      EXPECT_EQ(Get(*inst, Lower(name)), Values{*row.read}) << name;
    } else {
      EXPECT_EQ(GetStatus(*inst, name), H_ERR_FGPARAM) << name;
    }
    EXPECT_EQ(Get(*inst, Upper(name) + "_DESCRIPTION"), Values{std::string(row.description)});
    if (row.category != nullptr) {
      EXPECT_EQ(Get(*inst, Lower(name) + "_Category"), Values{std::string(row.category)});
    }
  }
  EXPECT_EQ(inst->raw()->image_width, 320);
  EXPECT_EQ(inst->raw()->image_height, 240);
  EXPECT_EQ(inst->raw()->horizontal_resolution, 320);
  EXPECT_EQ(inst->raw()->vertical_resolution, 240);
  EXPECT_EQ(GetStatus(*inst, "Gamma\xC3\xA4"), H_ERR_FGPARAM);
  EXPECT_EQ(GetStatus(*inst, "Gamma "), H_ERR_FGPARAM);
  EXPECT_EQ(GetStatus(*inst, ""), H_ERR_FGPARAM);
  ASSERT_EQ(Set(*inst, "volatile", std::string("disable")), H_MSG_OK);
}

// Catches vocabulary words compared case-sensitively, or any word outside
// the vocabulary accepted.
TEST_F(CatalogueTest, WordValuesMatchInAnyCaseAndNothingElse) {
  auto inst = OpenOk(kKey);
  ASSERT_TRUE(inst);
  struct Case {
    const char* name;
    const char* word;
    const char* read;  // null: refused with 5326
  };
  const Case cases[] = {
      {"ReverseY", "FALSE", "False"},
      {"ReverseY", "TRUE", "True"},
      {"ReverseY", "yes", nullptr},
      {"ReverseY", "True ", nullptr},
      {"volatile", "ENABLE", "enable"},
      {"volatile", "Disable", "disable"},
      {"volatile", "on", nullptr},
      {"start_async_after_grab_async", "DISABLE", "disable"},
      {"start_async_after_grab_async", "", nullptr},
      {"TriggerMode", "Continuous", "Continuous"},
      {"TriggerMode", "LINE_TRIGGER", "LINE_TRIGGER"},
      {"TriggerMode", "hardware", nullptr},
      {"AcquisitionFrameRateEnable", "true", "True"},
  };
  for (const Case& c : cases) {
    const Values before = Get(*inst, c.name);
    const Herror status = Set(*inst, c.name, std::string(c.word));
    if (c.read == nullptr) {
      EXPECT_EQ(status, H_ERR_FGPARV) << c.name << "=" << c.word;
      EXPECT_EQ(Get(*inst, c.name), before) << c.name << "=" << c.word;
    } else {
      EXPECT_EQ(status, H_MSG_OK) << c.name << "=" << c.word;
      EXPECT_EQ(Get(*inst, c.name), Values{std::string(c.read)}) << c.name << "=" << c.word;
    }
  }
  EXPECT_EQ(Set(*inst, "bits_per_channel", int64_t{16}), H_ERR_FGPARV);
  EXPECT_EQ(inst->raw()->bits_per_channel, 8);
}

}  // namespace
}  // namespace parameter_test
