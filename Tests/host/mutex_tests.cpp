#include <thread>

#include "host_fixture.h"

using namespace hostlayer;

constexpr Herror kInjected = 7001;

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
// never-initialised handle) turning into a hang or crash instead of an error.
TEST_F(HostTest, MutexMisuseIsReported) {
  Hmutex never_made = nullptr;
  EXPECT_EQ(HpThreadMutexLock(&never_made), kErrMutexState);
  EXPECT_EQ(HpThreadMutexInit(nullptr), kErrBadArgument);

  Hmutex mutex = nullptr;
  ASSERT_EQ(HpThreadMutexInit(&mutex), H_MSG_OK);
  EXPECT_EQ(HpThreadMutexUnlock(&mutex), kErrMutexState);
  ASSERT_EQ(HpThreadMutexLock(&mutex), H_MSG_OK);
  EXPECT_EQ(HpThreadMutexLock(&mutex), kErrMutexState);
  EXPECT_EQ(HpThreadMutexDestroy(&mutex), kErrMutexState);
  Herror stranger_unlock = 0;
  std::thread([&] { stranger_unlock = HpThreadMutexUnlock(&mutex); }).join();
  EXPECT_EQ(stranger_unlock, kErrMutexState);
  ASSERT_EQ(HpThreadMutexUnlock(&mutex), H_MSG_OK);
  Hmutex stale = mutex;
  ASSERT_EQ(HpThreadMutexDestroy(&mutex), H_MSG_OK);
  EXPECT_EQ(HpThreadMutexLock(&stale), kErrMutexState);
}

// Catches: a mutex call that ignores its injected fault, or whose failure
// still changes the mutex (a failed lock that holds it, a failed destroy
// that frees it, a failed init that makes one).
TEST_F(HostTest, MutexFaultsChangeNothing) {
  Hmutex mutex = nullptr;
  FailCall(HostCall::MutexInit, 1, kInjected);
  EXPECT_EQ(HpThreadMutexInit(&mutex), kInjected);
  EXPECT_EQ(mutex, nullptr);
  EXPECT_EQ(LiveMutexes(), 0);
  ASSERT_EQ(HpThreadMutexInit(&mutex), H_MSG_OK);
  FailCall(HostCall::MutexLock, 1, kInjected);
  EXPECT_EQ(HpThreadMutexLock(&mutex), kInjected);
  EXPECT_EQ(HpThreadMutexUnlock(&mutex), kErrMutexState);  // not held
  ASSERT_EQ(HpThreadMutexLock(&mutex), H_MSG_OK);
  FailCall(HostCall::MutexUnlock, 1, kInjected);
  EXPECT_EQ(HpThreadMutexUnlock(&mutex), kInjected);
  ASSERT_EQ(HpThreadMutexUnlock(&mutex), H_MSG_OK);
  FailCall(HostCall::MutexDestroy, 1, kInjected);
  EXPECT_EQ(HpThreadMutexDestroy(&mutex), kInjected);
  EXPECT_EQ(LiveMutexes(), 1);
  ASSERT_EQ(HpThreadMutexDestroy(&mutex), H_MSG_OK);
  EXPECT_EQ(LiveMutexes(), 0);
}
