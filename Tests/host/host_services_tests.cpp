// The host's services (memory, images, mutexes, setting 64, default open
// parameters), the guarded call of the interface and the exception barrier
// of the C entry points.
#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <stdexcept>
#include <thread>

#include "base/guarded_call.h"
#include "bindings/platform.h"
#include "common/abi_barrier.h"
#include "hostlayer/host_control.h"

using namespace hostlayer;

extern "C" int host_c_headers_record_sizes(void);

namespace {

constexpr Herror kInjected = 6001;

// Every test starts from the host's defaults: no faults, empty logs.
class HostTest : public ::testing::Test {
 protected:
  void SetUp() override { Reset(); }
  void TearDown() override { Reset(); }
};

struct InjectionCase {
  int64_t nth;
  bool and_after;
  std::vector<Herror> results;  // of the next calls, in order
};

// Catches: a fault firing on the wrong call, firing once where it should
// stick (or sticking where it should fire once), calls of another kind
// moving the count, a failing allocation that still creates a block or
// writes the out-pointer, or a fault or setting that outlives a reset.
TEST_F(HostTest, InjectedAllocFaultsFailExactlyTheChosenCalls) {
  const InjectionCase cases[] = {{1, false, {kInjected, H_MSG_OK, H_MSG_OK}},
                                 {2, false, {H_MSG_OK, kInjected, H_MSG_OK}},
                                 {2, true, {H_MSG_OK, kInjected, kInjected, kInjected}},
                                 {0, false, {H_MSG_OK, H_MSG_OK}}};
  for (const InjectionCase& c : cases) {
    Reset();
    HXFree(nullptr, nullptr);
    FailCall(HostCall::Alloc, c.nth, kInjected, c.and_after);
    HXFree(nullptr, nullptr);
    std::vector<void*> blocks;
    for (size_t i = 0; i < c.results.size(); ++i) {
      void* block = &blocks;  // a failing call must leave this untouched
      const int64_t live_before = Memory().live_blocks;
      const Herror status = HXAlloc(nullptr, 16, &block);
      EXPECT_EQ(status, c.results[i]) << "nth " << c.nth << ", call " << i + 1;
      if (status == H_MSG_OK) {
        blocks.push_back(block);
      } else {
        EXPECT_EQ(block, &blocks);
        EXPECT_EQ(Memory().live_blocks, live_before);
      }
    }
    EXPECT_EQ(CallCount(HostCall::Alloc), static_cast<int64_t>(c.results.size()));
    for (void* block : blocks) EXPECT_EQ(HXFree(nullptr, block), H_MSG_OK);
  }
  // A reset disarms what is still armed and restores the globals.
  const int64_t fresh_setting64 = Setting64();
  SetSetting64(fresh_setting64 + 1);
  FailCall(HostCall::Alloc, 1, kInjected, true);
  Reset();
  EXPECT_EQ(Setting64(), fresh_setting64);
  void* block = nullptr;
  ASSERT_EQ(HXAlloc(nullptr, 16, &block), H_MSG_OK);
  EXPECT_EQ(HXFree(nullptr, block), H_MSG_OK);
}

// Catches: live-block or byte accounting that drifts with zero-sized or
// large blocks, checked allocations not told apart, a double free or a
// foreign pointer corrupting the heap or the accounting instead of being
// reported, and an injected free failure that frees the block anyway (the
// caller would then free it twice).
TEST_F(HostTest, BlocksAreAccountedAndFreedOnce) {
  const MemoryStats before = Memory();
  std::vector<void*> blocks;
  for (const size_t size : {0, 1, 4096, 1 << 20}) {
    void* block = nullptr;
    ASSERT_EQ(HXAlloc(nullptr, size, &block), H_MSG_OK);
    blocks.push_back(block);
    ASSERT_EQ(HXAllocMemCheck(nullptr, size, "Src\\hAcqOmbrix", 7, -112, &block), H_MSG_OK);
    blocks.push_back(block);
  }
  const MemoryStats during = Memory();
  EXPECT_EQ(during.live_blocks - before.live_blocks, 8);
  EXPECT_EQ(during.live_bytes - before.live_bytes, 2 * (0 + 1 + 4096 + (1 << 20)));
  EXPECT_EQ(during.allocations, 8);
  EXPECT_EQ(during.checked_allocations, 4);
  FailCall(HostCall::Free, 1, kInjected);
  EXPECT_EQ(HXFree(nullptr, blocks[0]), kInjected);
  for (size_t i = 0; i < blocks.size(); ++i) {
    EXPECT_EQ(i % 2 ? HXFreeMemCheck(nullptr, blocks[i], "x", 1) : HXFree(nullptr, blocks[i]),
              H_MSG_OK);
  }
  EXPECT_EQ(Memory().live_blocks, before.live_blocks);
  EXPECT_EQ(Memory().live_bytes, before.live_bytes);
  int on_stack = 0;
  EXPECT_EQ(HXFree(nullptr, blocks[1]), kErrNotHostBlock);
  EXPECT_EQ(HXFree(nullptr, &on_stack), kErrNotHostBlock);
  EXPECT_EQ(HXAlloc(nullptr, 8, nullptr), kErrBadArgument);
  EXPECT_EQ(Memory().live_blocks, before.live_blocks);
}

// Catches: host images whose pixels are not a counted, writable host block
// (the driver could not release them); a view that copies (a volatile grab
// would lose its zero-copy image) or a copy that still points at the
// source; nonsense requests (other kinds, empty or negative sizes, null
// data) accepted.  (Injected image faults are failed in turn, and
// leak-checked, by the fault sweep.)
TEST_F(HostTest, ImagesOwnOrWrapTheirPixelsAndRefuseNonsense) {
  const MemoryStats before = Memory();
  Himage image{};
  ASSERT_EQ(HNewImage(nullptr, &image, HIMAGE_BYTE, 640, 480), H_MSG_OK);
  EXPECT_EQ(image.host_owned, 1);
  EXPECT_EQ(Memory().live_bytes - before.live_bytes, 640 * 480);
  image.pixel.b[640 * 480 - 1] = 7;  // the whole plane is writable (ASan)
  EXPECT_EQ(HXFree(nullptr, image.pixel.p), H_MSG_OK);

  uint8_t pixels[6] = {1, 2, 3, 4, 5, 6};
  Himage view{}, copy{};
  ASSERT_EQ(HNewImagePtr(nullptr, &view, HIMAGE_BYTE, 3, 2, pixels, 0), H_MSG_OK);
  EXPECT_EQ(view.pixel.b, pixels);
  EXPECT_EQ(view.host_owned, 0);
  EXPECT_EQ(Memory().live_blocks, before.live_blocks);
  ASSERT_EQ(HNewImagePtr(nullptr, &copy, HIMAGE_BYTE, 3, 2, pixels, 1), H_MSG_OK);
  EXPECT_NE(copy.pixel.b, pixels);
  EXPECT_EQ(std::memcmp(copy.pixel.b, pixels, sizeof pixels), 0);
  EXPECT_EQ(HXFree(nullptr, copy.pixel.p), H_MSG_OK);

  const struct {
    int32_t kind, width, height;
    void* data;
  } refused[] = {{2, 2, 2, pixels},
                 {HIMAGE_BYTE, 0, 2, pixels},
                 {HIMAGE_BYTE, 2, -1, pixels},
                 {HIMAGE_BYTE, 2, 2, nullptr}};
  for (const auto& r : refused) {
    Himage none{};
    EXPECT_EQ(HNewImagePtr(nullptr, &none, r.kind, r.width, r.height, r.data, 1), kErrBadArgument);
    if (r.data != nullptr) {
      EXPECT_EQ(HNewImage(nullptr, &none, r.kind, r.width, r.height), kErrBadArgument);
    }
    EXPECT_EQ(none.pixel.p, nullptr);
  }
  EXPECT_EQ(Memory().live_blocks, before.live_blocks);
}

// Catches: a mutex that does not exclude (a stand-in that answers 2 and
// locks nothing); the sum comes out short, and TSan reports the race.
TEST_F(HostTest, MutexExcludesOtherThreads) {
  Hmutex mutex = nullptr;
  ASSERT_EQ(HpThreadMutexInit(&mutex), H_MSG_OK);
  int64_t counter = 0;
  constexpr int kRounds = 20000;
  auto work = [&] {
    for (int i = 0; i < kRounds; ++i) {
      ASSERT_EQ(HpThreadMutexLock(&mutex), H_MSG_OK);
      ++counter;
      ASSERT_EQ(HpThreadMutexUnlock(&mutex), H_MSG_OK);
    }
  };
  std::thread other(work);
  work();
  other.join();
  EXPECT_EQ(counter, 2 * kRounds);
  EXPECT_EQ(HpThreadMutexDestroy(&mutex), H_MSG_OK);
}

// Catches: misuse that is undefined for a plain mutex (relock by the
// holder deadlocks, unlock by a stranger, destroying a held mutex, a
// never-initialised or destroyed handle) turning into a hang or crash
// instead of an error; and a mutex call whose injected failure still
// changes the mutex (a failed lock that holds it, a failed destroy that
// frees it, a failed init that makes one).
TEST_F(HostTest, MutexMisuseAndFaultsAreReportedAndChangeNothing) {
  Hmutex mutex = nullptr;
  EXPECT_EQ(HpThreadMutexLock(&mutex), kErrMutexState);
  EXPECT_EQ(HpThreadMutexInit(nullptr), kErrBadArgument);
  FailCall(HostCall::MutexInit, 1, kInjected);
  EXPECT_EQ(HpThreadMutexInit(&mutex), kInjected);
  EXPECT_EQ(mutex, nullptr);
  EXPECT_EQ(LiveMutexes(), 0);
  ASSERT_EQ(HpThreadMutexInit(&mutex), H_MSG_OK);
  EXPECT_EQ(HpThreadMutexUnlock(&mutex), kErrMutexState);
  FailCall(HostCall::MutexLock, 1, kInjected);
  EXPECT_EQ(HpThreadMutexLock(&mutex), kInjected);
  EXPECT_EQ(HpThreadMutexUnlock(&mutex), kErrMutexState);  // not held

  ASSERT_EQ(HpThreadMutexLock(&mutex), H_MSG_OK);
  EXPECT_EQ(HpThreadMutexLock(&mutex), kErrMutexState);
  EXPECT_EQ(HpThreadMutexDestroy(&mutex), kErrMutexState);
  Herror stranger_unlock = 0;
  std::thread([&] { stranger_unlock = HpThreadMutexUnlock(&mutex); }).join();
  EXPECT_EQ(stranger_unlock, kErrMutexState);
  FailCall(HostCall::MutexUnlock, 1, kInjected);
  EXPECT_EQ(HpThreadMutexUnlock(&mutex), kInjected);
  ASSERT_EQ(HpThreadMutexUnlock(&mutex), H_MSG_OK);

  FailCall(HostCall::MutexDestroy, 1, kInjected);
  EXPECT_EQ(HpThreadMutexDestroy(&mutex), kInjected);
  EXPECT_EQ(LiveMutexes(), 1);
  Hmutex stale = mutex;
  ASSERT_EQ(HpThreadMutexDestroy(&mutex), H_MSG_OK);
  EXPECT_EQ(LiveMutexes(), 0);
  EXPECT_EQ(HpThreadMutexLock(&stale), kErrMutexState);
}

// Catches: unknown variables, modes or a null read pointer accepted, and
// injected faults that still change setting 64 or the value read.  (Its
// reads and writes in order are checked around copy-mode images by the
// grab tests.)
TEST_F(HostTest, Setting64RefusesUnknownAccessAndFaultsChangeNothing) {
  const auto access = [](int32_t var, int32_t mode, int64_t* value, double dvalue) {
    return HAccessGlVar(nullptr, var, mode, value, dvalue, nullptr, nullptr, 0);
  };
  int64_t value = 0;
  EXPECT_EQ(access(63, 1, &value, 0.0), kErrUnknownVariable);
  EXPECT_EQ(access(HGV_IMAGE_INIT, 2, &value, 0.0), kErrUnknownVariable);
  EXPECT_EQ(access(HGV_IMAGE_INIT, 1, nullptr, 0.0), kErrBadArgument);
  FailCall(HostCall::GlVarWrite, 1, kInjected);
  FailCall(HostCall::GlVarRead, 1, kInjected + 1);
  EXPECT_EQ(access(HGV_IMAGE_INIT, 0, nullptr, 9.0), kInjected);
  EXPECT_EQ(access(HGV_IMAGE_INIT, 1, &value, 0.0), kInjected + 1);
  EXPECT_EQ(value, 0);
  EXPECT_EQ(Setting64(), 1);
  EXPECT_TRUE(Setting64Writes().empty());
}

// Catches: field codes not turned into the host's words (or other codes
// turned into one), the list spread over several blocks (the caller frees
// one and leaks the texts), texts pointing outside the block, an
// unterminated record text read past its array, and a failure that hands
// out a block.  (The order and types of the list are checked on the
// interface's own defaults by its information tests.)
TEST_F(HostTest, DefaultsAreOneBlockWithFieldWordsAndBoundedTexts) {
  FGClass fg{};
  std::memset(fg.device, 'd', FG_STRING_LEN);  // no terminator at all
  const std::pair<int32_t, std::string> fields[] = {{2, "interlaced"}, {1, ""}, {-3, ""}};
  for (const auto& [field, word] : fields) {
    fg.field = field;
    const MemoryStats before = Memory();
    ParamValue* values = nullptr;
    int32_t count = 0;
    ASSERT_EQ(HFgGetDefaults(nullptr, &fg, &values, &count), H_MSG_OK);
    ASSERT_EQ(count, 15);
    EXPECT_EQ(Memory().live_blocks - before.live_blocks, 1);
    const char* end =
        reinterpret_cast<const char*>(values) + (Memory().live_bytes - before.live_bytes);
    for (int32_t i = 0; i < count; ++i) {
      if (values[i].type != PV_STRING) continue;
      EXPECT_GE(values[i].par.s, reinterpret_cast<const char*>(values + count));
      EXPECT_LT(values[i].par.s + std::strlen(values[i].par.s), end);
    }
    EXPECT_EQ(std::string(values[12].par.s), std::string(FG_STRING_LEN, 'd'));
    if (word.empty()) {
      EXPECT_EQ(values[6].type, PV_INTEGER);
      EXPECT_EQ(values[6].par.l, field);
    } else {
      EXPECT_EQ(values[6].par.s, word);
    }
    EXPECT_EQ(HXFree(nullptr, values), H_MSG_OK);
  }
  ParamValue* values = nullptr;
  int32_t count = 0;
  const int64_t live = Memory().live_blocks;
  FailCall(HostCall::GetDefaults, 1, kInjected);
  EXPECT_EQ(HFgGetDefaults(nullptr, &fg, &values, &count), kInjected);
  EXPECT_EQ(HFgGetDefaults(nullptr, nullptr, &values, &count), kErrBadArgument);
  EXPECT_EQ(values, nullptr);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(Memory().live_blocks, live);
}

struct ConversionCase {
  Herror status;
  std::optional<Herror> process_err_answer;
  Herror expected;
  bool reported;
};

// Catches: successes (2 and below) sent to HProcessErr, failures not sent,
// or HProcessErr's answer used when it is not an error itself.
TEST_F(HostTest, StatusConversionFollowsTheErrorRule) {
  const ConversionCase cases[] = {{H_MSG_OK, std::nullopt, H_MSG_OK, false},
                                  {1, 9, 1, false},
                                  {5302, std::nullopt, 5302, true},
                                  {5302, 9, 9, true},
                                  {5302, H_MSG_OK, 5302, true}};
  for (const ConversionCase& c : cases) {
    Reset();
    SetProcessErrResult(c.process_err_answer);
    EXPECT_EQ(ConvertStatus("HXAlloc(proc_id,size,&ptr)", 42, c.status), c.expected);
    const std::vector<ProcessErrRecord> log = ProcessErrLog();
    ASSERT_EQ(log.size(), c.reported ? 1u : 0u) << c.status;
    if (!c.reported) continue;
    EXPECT_EQ(log[0].text, "HXAlloc(proc_id,size,&ptr)");
    EXPECT_EQ(log[0].err, c.status);
    EXPECT_EQ(log[0].line, 42);
    EXPECT_EQ(log[0].file, "Src\\hAcqOmbrix");
  }
}

// Catches: the spy report made after the call (or not at all), or made
// while the switch is off.  (The checking allocator under HTraceMemory, and
// HProcessErr's answer to a failed open, are checked by the open tests.)
TEST_F(HostTest, SpyReportComesBeforeTheCall) {
  SetSpy(true);
  size_t spied_before_call = 0;
  const Herror status = HCALL("HpThreadMutexLock(&currInst->cancel_mutex)",
                              (spied_before_call = SpyLog().size(), Herror{5306}));
  EXPECT_EQ(status, 5306);
  EXPECT_EQ(spied_before_call, 1u);
  const std::vector<SpyRecord> spy = SpyLog();
  ASSERT_EQ(spy.size(), 1u);
  EXPECT_EQ(spy[0].text, "HpThreadMutexLock(&currInst->cancel_mutex)");
  EXPECT_EQ(spy[0].file, "Src\\hAcqOmbrix");
  ASSERT_EQ(ProcessErrLog().size(), 1u);
  EXPECT_EQ(ProcessErrLog()[0].line, spy[0].line);

  SetSpy(false);
  HCALL("quiet", Herror{H_MSG_OK});
  EXPECT_EQ(SpyLog().size(), 1u);
}

// Catches a barrier that lets an exception through to a C caller, mixes up
// its two answers, or replaces the body's own result.
TEST(AbiBarrier, ExceptionsBecomeTheEntrysAnswers) {
  constexpr boundary::ThrowAnswers<int> kAnswers{6, 7};
  EXPECT_EQ(boundary::Barrier(kAnswers, [] { return 2; }), 2);
  EXPECT_EQ(boundary::Barrier(kAnswers, []() -> int { throw std::bad_alloc(); }), 6);
  EXPECT_EQ(boundary::Barrier(kAnswers, []() -> int { throw std::runtime_error("x"); }), 7);
  EXPECT_EQ(boundary::Barrier(-1, []() -> int { throw 3; }), -1);
  bool ran = false;
  boundary::Barrier([&] {
    ran = true;
    throw std::logic_error("x");
  });
  EXPECT_TRUE(ran);
}

// Catches: a record laid out differently in C and C++ (a C++-only member
// or a bool of another size would shift the fields the two sides share).
// Catches a lookup in no library that searches the whole process instead
// (dlsym with a null handle does).
TEST(PlatformSeam, NoLibraryFindsNoSymbol) {
  EXPECT_EQ(PlatformFindSymbol(nullptr, "malloc"), nullptr);
}

TEST(CHeaders, RecordsHaveTheSameSizeInC) {
  EXPECT_EQ(host_c_headers_record_sizes(),
            static_cast<int>(sizeof(FGInstance) + sizeof(Himage)) + PV_STRING);
}

}  // namespace
