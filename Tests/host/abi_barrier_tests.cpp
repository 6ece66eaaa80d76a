// The exception barrier of the C entry points.
#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "common/abi_barrier.h"

namespace {

constexpr boundary::ThrowAnswers<int> kAnswers{6, 7};

// Catches a barrier that lets an exception through to a C caller, mixes up
// its two answers, or replaces the body's own result.
TEST(AbiBarrier, ExceptionsBecomeTheEntrysAnswers) {
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

}  // namespace
