// The steps of a camera session through the host driver, shared by the
// fault sweep and the grab-state tests.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "hostlayer/host_driver.h"

namespace hacq_test {

// Brings the process-wide grab flags to one state whatever ran before: no
// asynchronous grab used, no stop pending, the stream stopped (the next
// grab starts it at frame 0).
inline void ResetGrabFlags(hostlayer::Instance& instance) {
  EXPECT_EQ(instance.SetParam("do_abort_grab", int64_t{0}), H_MSG_OK);
  EXPECT_EQ(instance.SetParam("grab_timeout", int64_t{5000}), H_MSG_OK);  // asks for a stop
  hostlayer::Images images;
  EXPECT_EQ(instance.Grab(&images), H_MSG_OK);  // takes the stop and clears it
}

enum class StepKind { Open, Grab, StartAsync, Set, Trigger, Get, Abort, Close };

// One step of a session.  Set, Trigger and Abort write `value` to
// `parameter`, Get reads it; a grab with a delay is asynchronous, an
// asynchronous start waits up to the delay.
struct Step {
  const char* name;
  StepKind kind;
  const char* parameter = nullptr;
  hostlayer::Value value = int64_t{0};
  double delay = 0;
};

// How a session opens `camera`: gray, three buffers.
hostlayer::OpenParams SessionOpenParams(const std::string& camera);

// Runs `step` on `instance` (an Open opens `camera` into it).
Herror RunStep(const Step& step, std::unique_ptr<hostlayer::Instance>& instance,
               const std::string& camera);

}  // namespace hacq_test
