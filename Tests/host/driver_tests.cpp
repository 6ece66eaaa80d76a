// The host driver, driving the small test plug-in (test_plugin.cpp).
#include <gtest/gtest.h>

#include <functional>

#include "hostlayer/host_control.h"
#include "hostlayer/host_driver.h"

using namespace hostlayer;

namespace {

class DriverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Reset();
    ASSERT_TRUE(driver().ok()) << driver().load_error();
    live_at_start_ = Memory().live_blocks;
  }
  void TearDown() override {
    // Every test closes what it opened: no instance, no block left behind.
    for (FGInstance* slot : driver().fg_class().instance) EXPECT_EQ(slot, nullptr);
    EXPECT_EQ(Memory().live_blocks, live_at_start_);
  }
  static Driver& driver() { return Driver::Get(HOST_TEST_PLUGIN); }

  std::unique_ptr<Instance> OpenOrFail(const OpenParams& params = {}) {
    std::unique_ptr<Instance> instance;
    const Herror status = driver().Open(params, &instance);
    EXPECT_EQ(status, H_MSG_OK) << Driver::ErrorText(status);
    return instance;
  }

  int64_t live_at_start_ = 0;
};

struct OpenCase {
  std::function<void(OpenParams&)> change;
  Herror status;
  int32_t field;  // the record's, when opened
  bool external_trigger;
};

// Catches: "default"/-1 not resolved from the interface record, field and
// trigger words not mapped to their codes (in any letter case); and values
// of the wrong kind, or too long for the record, passed on (truncated or
// overflowing) instead of refused before OpenRequest.
TEST_F(DriverTest, OpenResolvesDefaultsAndWordsAndRefusesTheRest) {
  const OpenCase cases[] = {
      {[](OpenParams&) {}, H_MSG_OK, 4, false},
      {[](OpenParams& p) { p.field = std::string("interlaced"); }, H_MSG_OK, 2, false},
      {[](OpenParams& p) { p.field = std::string("Progressive"); }, H_MSG_OK, 4, false},
      {[](OpenParams& p) { p.field = int64_t{7}; }, H_MSG_OK, 7, false},
      {[](OpenParams& p) { p.external_trigger = std::string("TRUE"); }, H_MSG_OK, 4, true},
      {[](OpenParams& p) { p.external_trigger = int64_t{1}; }, H_MSG_OK, 4, true},
      {[](OpenParams& p) { p.device = std::string(FG_STRING_LEN - 1, 'x'); }, H_MSG_OK, 4, false},
      {[](OpenParams& p) { p.device = std::string(FG_STRING_LEN, 'x'); }, kErrBadArgument},
      {[](OpenParams& p) { p.field = std::string("sideways"); }, kErrBadArgument},
      {[](OpenParams& p) { p.port = 1.5; }, kErrBadArgument},
      {[](OpenParams& p) { p.start_row = int64_t{1} << 40; }, kErrBadArgument},
      {[](OpenParams& p) { p.external_trigger = std::string("maybe"); }, kErrBadArgument},
      {[](OpenParams& p) { p.external_trigger = int64_t{2}; }, kErrBadArgument},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    OpenParams params;
    params.image_width = int64_t{6};
    cases[i].change(params);
    std::unique_ptr<Instance> instance;
    ASSERT_EQ(driver().Open(params, &instance), cases[i].status) << "case " << i;
    if (cases[i].status != H_MSG_OK) {
      EXPECT_FALSE(instance);
      continue;
    }
    const FGInstance* raw = instance->raw();
    EXPECT_EQ(raw->field, cases[i].field) << "case " << i;
    EXPECT_EQ(raw->external_trigger, cases[i].external_trigger) << "case " << i;
    EXPECT_EQ(raw->image_width, 6);
    EXPECT_EQ(raw->horizontal_resolution, 1);
    EXPECT_STREQ(raw->camera_type, "auto");
    EXPECT_FLOAT_EQ(raw->gain, 1.0f);
    EXPECT_EQ(std::string(raw->device), i == 6 ? std::string(FG_STRING_LEN - 1, 'x') : "0");
    EXPECT_EQ(instance->Close(), H_MSG_OK);
  }
}

// Catches: a failed open leaving the instance in its slot (a dangling
// pointer in the host table) or leaking it, and a refused or stray slot
// being written.
TEST_F(DriverTest, FailedOpenClearsItsSlotAndLeaksNothing) {
  const std::pair<const char*, Herror> cases[] = {
      {"fail", H_ERR_FGDV}, {"refuse", kErrNoInstanceSlot}, {"stray_slot", kErrNoInstanceSlot}};
  for (const auto& [device, expected] : cases) {
    OpenParams params;
    params.device = std::string(device);
    std::unique_ptr<Instance> instance;
    EXPECT_EQ(driver().Open(params, &instance), expected) << device;
    EXPECT_FALSE(instance);
    EXPECT_EQ(driver().fg_class().instances_num, 0);
  }
  // The failed attempts left slot 0 free for the next open.
  std::unique_ptr<Instance> instance = OpenOrFail();
  EXPECT_EQ(driver().fg_class().instance[0], instance->raw());
  EXPECT_EQ(driver().fg_class().instances_num, 1);
}

// Catches: values losing their type on the way in or out, the generic list
// freed or moved while the instance is open (the interface reads it during
// open and later), odd type codes not reaching the interface, and a broken
// answer (count beyond the array, unknown type) accepted; a plug-in's grab
// not called, or a sound answer (one image, the other slots empty) refused
// as broken.
TEST_F(DriverTest, ParametersAndImagesRoundTripAndBrokenAnswersAreRefused) {
  OpenParams params;
  params.generic = {std::string("num_buffers=3"), int64_t{5}, 2.5};
  std::unique_ptr<Instance> instance = OpenOrFail(params);
  std::vector<Value> read;
  ASSERT_EQ(instance->GetParam("generic", &read), H_MSG_OK);
  EXPECT_EQ(read, params.generic);
  ASSERT_EQ(instance->SetParam("frame", int64_t{-5}), H_MSG_OK);
  ASSERT_EQ(instance->GetParam("frame", &read), H_MSG_OK);
  EXPECT_EQ(read, std::vector<Value>{int64_t{-5}});
  ParamValue odd{};
  odd.type = 8;
  EXPECT_EQ(instance->SetParamRaw("frame", odd), H_ERR_FGPART);
  EXPECT_EQ(instance->SetParam("no_such", int64_t{1}), H_ERR_FGPARAM);
  EXPECT_EQ(instance->GetParam("too_many", &read), kErrBadAnswer);
  EXPECT_EQ(instance->GetParam("bad_type", &read), kErrBadAnswer);
  Images images;
  ASSERT_EQ(instance->Grab(&images), H_MSG_OK);
  ASSERT_EQ(images.size(), 1u);
  EXPECT_EQ(images[0].width, 2);
  EXPECT_EQ(images[0].height, 2);
  EXPECT_TRUE(images[0].is_view);
  EXPECT_EQ(std::vector<uint8_t>(images[0].pixels, images[0].pixels + 4),
            (std::vector<uint8_t>{1, 2, 3, 4}));
}

// Catches: the info block not freed (a leak per query), texts read after
// the free, and a values array that is no host block accepted and freed.
TEST_F(DriverTest, InfoCopiesThenFreesTheHostBlock) {
  std::string text;
  std::vector<Value> values;
  ASSERT_EQ(driver().Info(3, &text, &values), H_MSG_OK);
  EXPECT_EQ(text, "defaults");
  ASSERT_EQ(values.size(), 15u);
  EXPECT_EQ(values[6], Value{std::string("progressive")});
  EXPECT_EQ(values[12], Value{std::string("0")});
  EXPECT_EQ(driver().Info(0, &text, &values), H_MSG_OK);
  EXPECT_EQ(text, "test plug-in");
  EXPECT_TRUE(values.empty());
  EXPECT_EQ(driver().Info(99, &text, &values), kErrBadAnswer);
  EXPECT_EQ(driver().Info(5, &text, &values), H_ERR_FGPARAM);
}

// Catches: operations reaching the interface with a closed instance's
// record, a second close, Reinit while instances are open (the table would
// be zeroed under them) and a driver that cannot re-register afterwards.
// (A driver that serialises every call, so that an abort could never reach
// a waiting grab, is caught by the interface's abort tests.)
TEST_F(DriverTest, ClosedInstancesRefuseAndReinitWaitsForEveryClose) {
  std::unique_ptr<Instance> instance = OpenOrFail();
  EXPECT_EQ(driver().Reinit(), kErrInstancesOpen);
  ASSERT_EQ(instance->Close(), H_MSG_OK);
  EXPECT_FALSE(instance->is_open());
  EXPECT_EQ(instance->Close(), kErrInstanceClosed);
  EXPECT_EQ(instance->Grab(nullptr), kErrInstanceClosed);
  EXPECT_EQ(instance->SetParam("frame", int64_t{1}), kErrInstanceClosed);
  EXPECT_EQ(instance->GetParam("frame", nullptr), kErrInstanceClosed);
  EXPECT_EQ(driver().Reinit(), H_MSG_OK);
  EXPECT_EQ(driver().fg_class().revision_number, 5);
  {
    std::unique_ptr<Instance> again = OpenOrFail();
    EXPECT_TRUE(again->is_open());
  }  // the destructor closes it
}

}  // namespace
