// The tool's command-line parts: value typing and open options.  (Option
// parsing is checked on the built tool by the command tests.)
#include <gtest/gtest.h>

#include <optional>

#include "command_line.h"
#include "literal_value.h"
#include "open_options.h"
#include "value_typing.h"

namespace {

using hostlayer::Value;

// Catches: "12abc" or "1e3" sent as an integer, an overflowing integer
// wrapped, "nan" or "inf" sent to a camera as a float.
TEST(LiteralValues, TextIsTypedByWhatItWholeReads) {
  const std::vector<std::pair<std::string, Value>> cases = {
      {"42", int64_t{42}},
      {"-7", int64_t{-7}},
      {"+3", int64_t{3}},
      {"2.5", 2.5},
      {"1e3", 1000.0},
      {"12abc", std::string("12abc")},
      {"99999999999999999999", 1e20},
      {"nan", std::string("nan")},
      {"inf", std::string("inf")},
      {"", std::string("")},
      {"num_buffers=4", std::string("num_buffers=4")},
  };
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(ParseLiteral(text), expected) << "'" << text << "'";
  }
}

struct KindCase {
  std::vector<Value> range;
  std::vector<Value> values;
  std::string name;
  ValueKind kind;
  std::string text;
  std::optional<Value> typed;  // none: refused with "NAME takes ..."
};

// Catches: ExposureTime sent as an integer (the interface refuses it with
// 5325), Width sent as a word, metadata ignored in favour of the fallback;
// a value that does not fit its kind passed on instead of refused with a
// message naming the parameter; a whole number refused for a float.
TEST(ValueTyping, KindFromMetadataThenCatalogue) {
  const std::vector<Value> width = {int64_t{16}, int64_t{2448}, int64_t{16}, int64_t{2448}};
  const std::vector<KindCase> cases = {
      {width, {}, "Width", ValueKind::Integer, "640", int64_t{640}},
      {width, {}, "Width", ValueKind::Integer, "2.5", std::nullopt},
      {{1.0, 1e6, 1.0, 5000.0}, {}, "ExposureTime", ValueKind::Float, "5000", 5000.0},
      {{}, {std::string("False")}, "ReverseX", ValueKind::String, "1", std::string("1")},
      {{}, {int64_t{1}}, "do_abort_grab", ValueKind::Integer, "1", int64_t{1}},
      {{}, {}, "gamma", ValueKind::Float, "bright", std::nullopt},
      {{}, {}, "HORIZONTAL_RESOLUTION", ValueKind::Integer, "2", int64_t{2}},
      {{}, {}, "DeviceUserID", ValueKind::String, "12", std::string("12")},
      {{}, {}, "NoSuchName", ValueKind::String, "x", std::string("x")},
  };
  for (const auto& c : cases) {
    const ValueKind kind = KindFromMetadata(c.range, c.values).value_or(CatalogueKind(c.name));
    EXPECT_EQ(kind, c.kind) << c.name;
    Value value;
    std::string error;
    EXPECT_EQ(TypeValue(c.name, kind, c.text, &value, &error), c.typed.has_value()) << c.name;
    if (c.typed) {
      EXPECT_EQ(value, *c.typed) << c.name;
    } else {
      EXPECT_EQ(error.rfind(c.name + " takes a", 0), 0u) << error;
    }
  }
}

struct AllowedCase {
  Value value;
  std::vector<Value> range;
  std::vector<Value> values;
  bool allowed;
};

// Catches: an out-of-range value sent to the camera, a bound itself refused,
// a word refused for its letter case (the interface ignores case), an
// integer value list ignored, an empty value list (DeviceUserID) taken as
// "nothing allowed"; a hint built from the range's current value instead of
// its step, or a number range shown with the interface's step of 1.
TEST(ValueTyping, ValuesCheckedAgainstTheMetadata) {
  const std::vector<Value> gamma = {0.1, 4.0, 1.0, 1.0};
  const std::vector<Value> width = {int64_t{16}, int64_t{2448}, int64_t{16}, int64_t{1024}};
  const std::vector<Value> booleans = {std::string("False"), std::string("True")};
  const std::vector<AllowedCase> cases = {
      {0.1, gamma, {}, true},
      {4.0, gamma, {}, true},
      {1.5, gamma, {}, true},
      {0.0, gamma, {}, false},
      {4.01, gamma, {}, false},
      {-5.0, gamma, {}, false},
      {int64_t{1001}, width, {}, true},
      {int64_t{15}, width, {}, false},
      {int64_t{2449}, width, {}, false},
      {std::string("true"), {}, booleans, true},
      {std::string("maybe"), {}, booleans, false},
      {int64_t{8}, {}, {int64_t{8}}, true},
      {int64_t{16}, {}, {int64_t{8}}, false},
      {std::string("anything"), {}, {}, true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(AllowedByMetadata(c.value, c.range, c.values), c.allowed)
        << FormatValue(c.value) << " in " << FormatValues(c.range, ",") << " / "
        << FormatValues(c.values, ",");
  }
  EXPECT_EQ(DescribeAllowed(width, {}), "values from 16 to 2448 in steps of 16");
  EXPECT_EQ(DescribeAllowed(gamma, {}), "values from 0.1 to 4");
  EXPECT_EQ(DescribeAllowed({}, booleans), "one of: False, True");
  EXPECT_EQ(DescribeAllowed({}, {}), "");
}

struct OpenOptionCase {
  std::string option;
  std::string text;
  bool ok;
};

// Catches: device "0" sent as the integer 0, option values left untyped,
// several --generic values collapsed into one, untouched defaults changed;
// a value the host refuses as "invalid argument" (9003) let through instead
// of named on the command line: a fraction or a word for a number, a number
// beyond 32 bits, a word outside the option's words, a text longer than the
// host's record; and good values refused ("default", words in capitals, the
// longest text that fits).
TEST(OpenOptions, ValuesBecomeTypedOpenParametersOrAreNamed) {
  ParsedArgs parsed;
  std::string error;
  ASSERT_TRUE(ParseArgs({"--device", "0", "--start-row", "10", "--color-space", "rgb", "--generic",
                         "num_buffers=4", "--generic", "x", "--field", "progressive"},
                        OpenOptionRules(), &parsed, &error))
      << error;
  hostlayer::OpenParams params;
  ASSERT_TRUE(ApplyOpenOptions(parsed, &params, &error)) << error;
  EXPECT_EQ(params.device, Value{std::string("0")});
  EXPECT_EQ(params.start_row, Value{int64_t{10}});
  EXPECT_EQ(params.color_space, Value{std::string("rgb")});
  EXPECT_EQ(params.field, Value{std::string("progressive")});
  EXPECT_EQ(params.generic, (std::vector<Value>{std::string("num_buffers=4"), std::string("x")}));
  EXPECT_EQ(params.port, Value{int64_t{-1}});
  EXPECT_EQ(params.camera_type, Value{std::string("default")});

  const std::vector<OpenOptionCase> cases = {
      {"image-width", "640", true},
      {"image-width", "abc", false},
      {"port", "1.5", false},
      {"port", "-1", true},
      {"start-row", "2147483647", true},
      {"start-row", "2147483648", false},
      {"field", "Progressive", true},
      {"field", "default", true},
      {"field", "weird", false},
      {"field", "4", false},
      {"external-trigger", "FALSE", true},
      {"external-trigger", "yes", false},
      {"color-space", "cmyk", true},
      {"device", std::string(1023, 'k'), true},
      {"device", std::string(1024, 'k'), false},
  };
  for (const auto& c : cases) {
    ParsedArgs one;
    hostlayer::OpenParams fresh;
    ASSERT_TRUE(ParseArgs({"--" + c.option, c.text}, OpenOptionRules(), &one, &error));
    EXPECT_EQ(ApplyOpenOptions(one, &fresh, &error), c.ok) << c.option << " " << c.text;
    if (!c.ok) {
      EXPECT_EQ(error.rfind("--" + c.option + " takes ", 0), 0u) << error;
    }
  }
}

}  // namespace
