// Fixture of the grab tests: the shared interface fixture (clean host and
// simulator, leak checks) with the built-in cameras at a small size and an
// unlimited frame rate, and a check that every frame was handed back.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "hacq_test/frame_prediction.h"
#include "hacq_test/interface_test.h"
#include "hacq_test/session_steps.h"

namespace acqtest {

using hacq_test::FastCameras;
using hacq_test::kColorKey;
using hacq_test::kHeight;
using hacq_test::kMonoKey;
using hacq_test::kWidth;
using hacq_test::LibraryWhole;
using hacq_test::Part;
using hacq_test::Planes;
using hacq_test::PlanesOf;
using hacq_test::Predict;
using hacq_test::ResetGrabFlags;

class GrabTest : public hacq_test::InterfaceTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Opens `device` with the given colour space and optional open
  // parameters; fails the test when the open does not answer 2.
  std::unique_ptr<hostlayer::Instance> Open(const std::string& device,
                                            const std::string& color_space = "default",
                                            hostlayer::OpenParams params = {});
};

}  // namespace acqtest
