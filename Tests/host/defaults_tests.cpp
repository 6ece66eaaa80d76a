#include <cstring>

#include "host_fixture.h"

using namespace hostlayer;

namespace {

// An interface record with a distinct value in every default field, so a
// swapped or shifted slot shows.
FGClass DistinctDefaults(int32_t field = 4, bool trigger = true) {
  FGClass fg{};
  fg.horizontal_resolution = 11;
  fg.vertical_resolution = 12;
  fg.image_width = 13;
  fg.image_height = 14;
  fg.start_row = 15;
  fg.start_column = 16;
  fg.field = field;
  fg.bits_per_channel = 8;
  std::strcpy(fg.color_space, "rgb");
  fg.gain = 2.5f;
  fg.external_trigger = trigger;
  std::strcpy(fg.camera_type, "auto");
  std::strcpy(fg.device, "cam7");
  fg.port = 3;
  fg.line_in = 17;
  return fg;
}

std::vector<std::string> DefaultsOf(FGClass& fg) {
  ParamValue* values = nullptr;
  int32_t count = 0;
  EXPECT_EQ(HFgGetDefaults(nullptr, &fg, &values, &count), H_MSG_OK);
  std::vector<std::string> described;
  for (int32_t i = 0; i < count; ++i) {
    const ParamValue& v = values[i];
    described.push_back(v.type == PV_INTEGER  ? "i:" + std::to_string(v.par.l)
                        : v.type == PV_FLOAT  ? "f:" + std::to_string(v.par.d)
                        : v.type == PV_STRING ? std::string("s:") + v.par.s
                                              : "?");
  }
  EXPECT_EQ(HXFree(nullptr, values), H_MSG_OK);
  return described;
}

}  // namespace

// Catches: defaults in the wrong order or of the wrong type (the gain slot
// as an integer, the trigger as a number), field codes not turned into the
// host's words, or other codes turned into a word.
TEST_F(HostTest, DefaultsListInOpenParameterOrderWithFieldWords) {
  FGClass fg = DistinctDefaults();
  EXPECT_EQ(DefaultsOf(fg),
            (std::vector<std::string>{"i:11", "i:12", "i:13", "i:14", "i:15", "i:16",
                                      "s:progressive", "i:8", "s:rgb", "f:2.500000", "s:true",
                                      "s:auto", "s:cam7", "i:3", "i:17"}));
  const std::pair<int32_t, std::string> fields[] = {{2, "s:interlaced"}, {1, "i:1"}, {-3, "i:-3"}};
  for (const auto& [code, expected] : fields) {
    FGClass other = DistinctDefaults(code, false);
    const std::vector<std::string> defaults = DefaultsOf(other);
    ASSERT_EQ(defaults.size(), 15u);
    EXPECT_EQ(defaults[6], expected);
    EXPECT_EQ(defaults[10], "s:false");
  }
}

// Catches: the list spread over several blocks (the caller frees one and
// leaks the texts), texts pointing outside the block, an unterminated
// record text read past its array, and a failure that hands out a block.
TEST_F(HostTest, DefaultsAreOneBlockWithBoundedTexts) {
  FGClass fg = DistinctDefaults();
  std::memset(fg.device, 'd', FG_STRING_LEN);  // no terminator at all
  const MemoryStats before = Memory();
  ParamValue* values = nullptr;
  int32_t count = 0;
  ASSERT_EQ(HFgGetDefaults(nullptr, &fg, &values, &count), H_MSG_OK);
  ASSERT_EQ(count, 15);
  EXPECT_EQ(Memory().live_blocks - before.live_blocks, 1);
  const auto* first = reinterpret_cast<const char*>(values);
  const char* end = first + (Memory().live_bytes - before.live_bytes);
  for (int32_t i = 0; i < count; ++i) {
    if (values[i].type != PV_STRING) continue;
    EXPECT_GE(values[i].par.s, first + 15 * sizeof(ParamValue));
    EXPECT_LT(values[i].par.s, end);
  }
  EXPECT_EQ(std::strlen(values[12].par.s), static_cast<size_t>(FG_STRING_LEN));
  EXPECT_EQ(HXFree(nullptr, values), H_MSG_OK);

  values = nullptr;
  count = 0;
  FailCall(HostCall::GetDefaults, 1, 6100);
  EXPECT_EQ(HFgGetDefaults(nullptr, &fg, &values, &count), 6100);
  EXPECT_EQ(HFgGetDefaults(nullptr, nullptr, &values, &count), kErrBadArgument);
  EXPECT_EQ(values, nullptr);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(Memory().live_blocks, before.live_blocks);
}
