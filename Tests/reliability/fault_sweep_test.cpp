// The fault sweep: one whole session (sweep_scenario.h) is run clean while
// every host call and SDK operation it makes is counted; then it is run
// again once per call, with exactly that call failing.  After each run the
// failing step must have answered a code the interface gives for that
// failure, the instance must close, nothing may be left live in the host
// or the simulator, and the camera must open and grab again.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "hacq_test/interface_test.h"
#include "small_cameras.h"
#include "sweep_scenario.h"

namespace reliability {
namespace {

// Results recorded so far in this test (failures among them).
int ResultCount() {
  return testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count();
}

// Runs `body` with the interface's printed lines held back; they are shown
// only when the body recorded a failure (gtest reports it there too).
template <class Body>
void Quietly(Body&& body) {
  const int results = ResultCount();
  testing::internal::CaptureStdout();
  body();
  const std::string printed = testing::internal::GetCapturedStdout();
  if (ResultCount() != results) std::fputs(printed.c_str(), stdout);
}

std::string Codes(const std::vector<Herror>& codes) {
  std::ostringstream out;
  for (Herror code : codes) out << code << ' ';
  return out.str();
}

class FaultSweep : public hacq_test::InterfaceTest {
 protected:
  void SetUp() override {
    InterfaceTest::SetUp();
    cameras_ = SmallCameras();
    UseCameras(cameras_);
  }

  // The camera as configured, so every run starts from the same feature
  // values whatever the previous run left written.
  void RestoreCamera() {
    for (const simsdk::CameraConfig& config : cameras_)
      if (config.key == kSweepCamera)
        simsdk::UpdateCamera(kSweepCamera, [&](simsdk::CameraConfig& c) { c = config; });
  }

  // A session with nothing injected; the instance is left to the caller.
  void RunClean(Session& session) {
    for (const Step& step : SweepSteps()) {
      ASSERT_EQ(step.run(session), H_MSG_OK) << "clean run, step " << step.name;
    }
  }

  // Catches a wrong code for a failure, a failure that surfaces at a step
  // that did not make the failing call, and a failure reported as success
  // where the interface must report it.
  void RunWithFault(const Fault& fault, Session& session) {
    const CallCounts before = CountCalls();
    Arm(fault);
    int reached = -1;
    for (size_t i = 0; i < SweepSteps().size(); ++i) {
      const Step& step = SweepSteps()[i];
      const Herror status = step.run(session);
      if (reached < 0 && Reached(fault, before)) reached = static_cast<int>(i);
      if (reached == static_cast<int>(i)) {
        const std::vector<Herror> allowed = AllowedCodes(fault, step.kind);
        EXPECT_NE(std::find(allowed.begin(), allowed.end(), status), allowed.end())
            << "step " << step.name << " answered " << status << ", expected one of "
            << Codes(allowed);
      } else {
        EXPECT_EQ(status, H_MSG_OK) << "step " << step.name
                                    << (reached < 0 ? " before the failing call"
                                                    : " after an ignored failure");
      }
      if (status != H_MSG_OK) break;
    }
    EXPECT_GE(reached, 0) << "the failing call was never made";
  }

  // Catches an instance that cannot be closed after a failure, leaks, a
  // frame kept from the SDK, and a camera left unusable.
  void CheckRecovery(Session& session, const std::string& what) {
    hostlayer::Reset();
    hacq_test::SdkControls().ClearFaults();
    if (session.instance && session.instance->is_open()) {
      EXPECT_EQ(session.instance->Close(), H_MSG_OK) << "closing after " << what;
    }
    session.instance.reset();
    ExpectNoLeaks("after " + what);
    EXPECT_EQ(hacq_test::SdkControls().CameraCounters(kSweepCamera).frames_outstanding, 0u) << what;
    RestoreCamera();
    auto again = OpenOk(SweepOpenParams());
    ASSERT_TRUE(again) << "reopening after " << what;
    {
      hostlayer::Images images;
      EXPECT_EQ(again->Grab(&images), H_MSG_OK) << "grabbing after " << what;
    }
    ResetGrabFlags(*again);
    EXPECT_EQ(again->Close(), H_MSG_OK);
    ExpectNoLeaks("after reopening, " + what);
    RestoreCamera();
  }

  std::vector<simsdk::CameraConfig> cameras_;
};

TEST_F(FaultSweep, EveryCallOfASessionFailsInTurn) {
  {
    auto settle = OpenOk(SweepOpenParams());
    ASSERT_TRUE(settle);
    ResetGrabFlags(*settle);
  }
  RestoreCamera();

  const CallCounts before = CountCalls();
  Session clean;
  Quietly([&] { RunClean(clean); });
  const CallCounts after = CountCalls();
  ASSERT_FALSE(HasFailure());
  clean.instance.reset();
  CheckRecovery(clean, "the clean run");

  std::vector<Fault> faults;
  std::ostringstream per_kind;
  for (bool host : {true, false}) {
    const int kinds = host ? hostlayer::kHostCallKinds : sdkabi::kFaultPoints;
    for (int kind = 0; kind < kinds; ++kind) {
      const int64_t calls = CallsBetween(host, kind, before, after);
      if (calls == 0) continue;
      per_kind << ' ' << Describe({host, kind, 0}).substr(0, Describe({host, kind, 0}).find(' '))
               << '=' << calls;
      for (int64_t nth = 1; nth <= calls; ++nth) faults.push_back({host, kind, nth});
    }
  }

  for (const Fault& fault : faults) {
    SCOPED_TRACE(Describe(fault));
    Session session;
    Quietly([&] {
      RunWithFault(fault, session);
      CheckRecovery(session, Describe(fault));
    });
    if (HasFatalFailure()) return;
  }
  std::printf("fault sweep: %zu faults injected (calls per kind:%s)\n", faults.size(),
              per_kind.str().c_str());
}

}  // namespace
}  // namespace reliability
