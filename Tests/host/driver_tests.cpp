#include <chrono>
#include <set>
#include <thread>

#include "host_fixture.h"
#include "hostlayer/host_driver.h"

using namespace hostlayer;

namespace {

class DriverTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    ASSERT_TRUE(driver().ok()) << driver().load_error();
    live_at_start_ = Memory().live_blocks;
  }
  void TearDown() override {
    // Every test closes what it opened: no instance, no block left behind.
    for (FGInstance* slot : driver().fg_class().instance) EXPECT_EQ(slot, nullptr);
    EXPECT_EQ(Memory().live_blocks, live_at_start_);
    HostTest::TearDown();
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

int64_t Integer(const Value& value) {
  return std::get<int64_t>(value);
}

}  // namespace

// Catches: "default"/-1 not resolved from the interface record, field words
// not mapped to their codes, and the trigger word lost.
TEST_F(DriverTest, OpenResolvesDefaultsAndWords) {
  struct Case {
    Value field;
    Value trigger;
    int32_t field_code;
    bool external_trigger;
  };
  const Case cases[] = {{std::string("default"), std::string("default"), 4, false},
                        {std::string("interlaced"), std::string("true"), 2, true},
                        {std::string("Progressive"), std::string("false"), 4, false},
                        {int64_t{7}, int64_t{-1}, 7, false}};
  for (const Case& c : cases) {
    OpenParams params;
    params.field = c.field;
    params.external_trigger = c.trigger;
    params.image_width = int64_t{6};
    std::unique_ptr<Instance> instance = OpenOrFail(params);
    ASSERT_TRUE(instance);
    const FGInstance* raw = instance->raw();
    EXPECT_EQ(raw->field, c.field_code);
    EXPECT_EQ(raw->external_trigger, c.external_trigger);
    EXPECT_EQ(raw->image_width, 6);
    EXPECT_STREQ(raw->device, "0");
    EXPECT_FLOAT_EQ(raw->gain, 1.0f);
    EXPECT_EQ(instance->Close(), H_MSG_OK);
  }
}

// Catches: open parameters of the wrong kind or too long for the record
// passed on (truncated or overflowing) instead of refused before OpenRequest.
TEST_F(DriverTest, OpenRefusesUnusableParameters) {
  const auto refuse = [&](auto&& change) {
    OpenParams params;
    change(params);
    std::unique_ptr<Instance> instance;
    EXPECT_EQ(driver().Open(params, &instance), kErrBadArgument);
    EXPECT_FALSE(instance);
  };
  refuse([](OpenParams& p) { p.device = std::string(FG_STRING_LEN, 'x'); });
  refuse([](OpenParams& p) { p.field = std::string("sideways"); });
  refuse([](OpenParams& p) { p.port = 1.5; });
  refuse([](OpenParams& p) { p.start_row = int64_t{1} << 40; });
  refuse([](OpenParams& p) { p.external_trigger = std::string("maybe"); });
}

// Catches: a failed open leaving the instance in its slot (a dangling
// pointer in the host table) or leaking it, and a refused or stray slot
// being written.
TEST_F(DriverTest, FailedOpenClearsItsSlotAndLeaksNothing) {
  const struct {
    const char* device;
    Herror expected;
  } cases[] = {
      {"fail", H_ERR_FGDV}, {"refuse", kErrNoInstanceSlot}, {"stray_slot", kErrNoInstanceSlot}};
  for (const auto& c : cases) {
    OpenParams params;
    params.device = std::string(c.device);
    std::unique_ptr<Instance> instance;
    EXPECT_EQ(driver().Open(params, &instance), c.expected) << c.device;
    EXPECT_FALSE(instance);
    EXPECT_EQ(driver().fg_class().instances_num, 0);
  }
  // The failed attempts left slot 0 free for the next open.
  std::unique_ptr<Instance> instance = OpenOrFail();
  EXPECT_EQ(driver().fg_class().instance[0], instance->raw());
}

// Catches: the generic list freed or moved while the instance is open (the
// interface reads it during open and later), or its texts corrupted.
TEST_F(DriverTest, GenericValuesStayValidWhileOpen) {
  OpenParams params;
  params.generic = {std::string("num_buffers=3"), int64_t{5}, 2.5};
  std::unique_ptr<Instance> instance = OpenOrFail(params);
  std::vector<Value> echoed;
  ASSERT_EQ(instance->GetParam("generic", &echoed), H_MSG_OK);
  EXPECT_EQ(echoed, params.generic);
}

// Catches: values losing their type on the way in or out, odd type codes
// not reaching the interface, and a broken answer (count beyond the array,
// unknown type) accepted.  (Copy-mode and volatile images, and failed
// grabs, are leak-checked by every grab test of the interface.)
TEST_F(DriverTest, ParametersRoundTripAndBrokenAnswersAreRefused) {
  std::unique_ptr<Instance> instance = OpenOrFail();
  ASSERT_EQ(instance->SetParam("frame", int64_t{-5}), H_MSG_OK);
  std::vector<Value> read;
  ASSERT_EQ(instance->GetParam("frame", &read), H_MSG_OK);
  EXPECT_EQ(read, std::vector<Value>{int64_t{-5}});
  ParamValue odd{};
  odd.type = 8;
  EXPECT_EQ(instance->SetParamRaw("frame", odd), H_ERR_FGPART);
  EXPECT_EQ(instance->SetParam("no_such", int64_t{1}), H_ERR_FGPARAM);
  EXPECT_EQ(instance->GetParam("too_many", &read), kErrBadAnswer);
  EXPECT_EQ(instance->GetParam("bad_type", &read), kErrBadAnswer);
  EXPECT_EQ(instance->GrabData(), H_ERR_FGNOTSUP);
  EXPECT_EQ(instance->GrabDataAsync(10.0), H_ERR_FGNOTSUP);
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
// record, a second close, and a driver that serialises every call (an
// abort could then never reach a waiting grab).
TEST_F(DriverTest, AbortReachesAWaitingGrabAndClosedInstancesRefuse) {
  std::unique_ptr<Instance> instance = OpenOrFail();
  ASSERT_EQ(instance->SetParam("block_grab", int64_t{1}), H_MSG_OK);
  Herror grab_status = 0;
  std::thread grabber([&] { grab_status = instance->Grab(nullptr); });
  // Bounded: the plug-in's grab gives up by itself after 5 s.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(4);
  std::vector<Value> waiting{int64_t{0}};
  while (Integer(waiting[0]) == 0 && std::chrono::steady_clock::now() < deadline) {
    ASSERT_EQ(instance->GetParam("grab_waiting", &waiting), H_MSG_OK);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  EXPECT_EQ(instance->SetParam("do_abort_grab", int64_t{0}), H_MSG_OK);
  grabber.join();
  EXPECT_EQ(grab_status, H_ERR_FGTIMEOUT);  // aborted, not expired (5302)

  ASSERT_EQ(instance->Close(), H_MSG_OK);
  EXPECT_FALSE(instance->is_open());
  EXPECT_EQ(instance->Close(), kErrInstanceClosed);
  EXPECT_EQ(instance->Grab(nullptr), kErrInstanceClosed);
  EXPECT_EQ(instance->SetParam("frame", int64_t{1}), kErrInstanceClosed);
}

// Catches: Reinit while instances are open (the table would be zeroed
// under them) and a driver that cannot re-register afterwards.
TEST_F(DriverTest, ReinitOnlyWithEveryInstanceClosed) {
  {
    std::unique_ptr<Instance> instance = OpenOrFail();
    EXPECT_EQ(driver().Reinit(), kErrInstancesOpen);
  }  // the destructor closes it
  EXPECT_EQ(driver().Reinit(), H_MSG_OK);
  EXPECT_EQ(driver().fg_class().revision_number, 5);
  std::unique_ptr<Instance> instance = OpenOrFail();
  EXPECT_TRUE(instance->is_open());
}

// Catches: codes without their own text (two codes sharing one, or an
// empty text), which would make failures unreadable.
TEST(DriverErrorText, EveryKnownCodeHasItsOwnText) {
  // Every code the host knows, packed.
  // clang-format off
  const Herror codes[] = {
      3, H_ERR_FGTRIGGER, H_ERR_FGWB, H_ERR_FGDV, H_ERR_FGTIMEOUT, H_ERR_FGWR, H_ERR_FGWP,
      H_ERR_FGEXTTRIG, H_ERR_FGLINE, H_ERR_FGCS, H_ERR_FGPORT, H_ERR_FGDEVBUSY, H_ERR_FGPARAM,
      H_ERR_FGFIELD, H_ERR_FGPART, H_ERR_FGPARV, H_ERR_FGNOTSUP, H_ERR_FGBUSY, H_ERR_FGPARNUM,
      kErrNoMemory, kErrNotHostBlock, kErrBadArgument, kErrMutexState, kErrUnknownVariable,
      kErrNotLoaded, kErrNoInstanceSlot, kErrInstancesOpen, kErrInstanceClosed, kErrBadAnswer};
  // clang-format on
  std::set<std::string> texts;
  const std::string unknown = Driver::ErrorText(123456);
  for (const Herror code : codes) {
    const std::string text = Driver::ErrorText(code);
    EXPECT_NE(text, unknown) << code;
    texts.insert(text);
  }
  EXPECT_EQ(texts.size(), std::size(codes));
  EXPECT_NE(unknown.find("123456"), std::string::npos);
}
