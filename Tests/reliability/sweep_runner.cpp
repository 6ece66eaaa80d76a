#include "sweep_runner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <sstream>

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

class Sweep {
 public:
  Sweep(const SweepTarget& target, const std::function<void(const std::string&)>& expect_no_leaks)
      : target_(target), expect_no_leaks_(expect_no_leaks) {}

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
    const CallCounts before = CountCalls(target_);
    Arm(fault, target_);
    int reached = -1;
    for (size_t i = 0; i < SweepSteps().size(); ++i) {
      const Step& step = SweepSteps()[i];
      const Herror status = step.run(session);
      if (reached < 0 && Reached(fault, before, target_)) reached = static_cast<int>(i);
      if (reached == static_cast<int>(i)) {
        const std::vector<Herror> allowed = AllowedCodes(fault, step.kind);
        EXPECT_NE(std::find(allowed.begin(), allowed.end(), status), allowed.end())
            << "step " << step.name << " answered " << status << ", expected one of "
            << Codes(allowed);
      } else {
        EXPECT_EQ(status, H_MSG_OK)
            << "step " << step.name
            << (reached < 0 ? " before the failing call" : " after an ignored failure");
      }
      if (status != H_MSG_OK) break;
    }
    EXPECT_GE(reached, 0) << "the failing call was never made";
  }

  // Catches an instance that cannot be closed after a failure, leaks, a
  // frame kept from the SDK, and a camera left unusable.
  void CheckRecovery(Session& session, const std::string& what) {
    hostlayer::Reset();
    target_.controls->ClearFaults();
    if (session.instance && session.instance->is_open()) {
      EXPECT_EQ(session.instance->Close(), H_MSG_OK) << "closing after " << what;
    }
    session.instance.reset();
    expect_no_leaks_("after " + what);
    EXPECT_EQ(target_.controls->CameraCounters(target_.camera).frames_outstanding, 0u) << what;
    target_.restore_camera();
    std::unique_ptr<hostlayer::Instance> again;
    ASSERT_EQ(hostlayer::Driver::Get().Open(SweepOpenParams(target_.camera), &again), H_MSG_OK)
        << "reopening after " << what;
    {
      hostlayer::Images images;
      EXPECT_EQ(again->Grab(&images), H_MSG_OK) << "grabbing after " << what;
    }
    ResetGrabFlags(*again);
    EXPECT_EQ(again->Close(), H_MSG_OK);
    expect_no_leaks_("after reopening, " + what);
    target_.restore_camera();
  }

  void Run() {
    {
      std::unique_ptr<hostlayer::Instance> settle;
      ASSERT_EQ(hostlayer::Driver::Get().Open(SweepOpenParams(target_.camera), &settle), H_MSG_OK);
      ResetGrabFlags(*settle);
    }
    target_.restore_camera();

    const CallCounts before = CountCalls(target_);
    Session clean{&target_, nullptr};
    Quietly([&] { RunClean(clean); });
    const CallCounts after = CountCalls(target_);
    ASSERT_FALSE(testing::Test::HasFailure());
    clean.instance.reset();
    CheckRecovery(clean, "the clean run");

    std::vector<Fault> faults;
    std::ostringstream per_kind;
    for (bool host : {true, false}) {
      if (host && !target_.host_faults) continue;
      const int kinds = host ? hostlayer::kHostCallKinds : sdkabi::kFaultPoints;
      for (int kind = 0; kind < kinds; ++kind) {
        const int64_t calls = CallsBetween(host, kind, before, after);
        if (calls == 0) continue;
        const std::string name = Describe({host, kind, 0});
        per_kind << ' ' << name.substr(0, name.find(' ')) << '=' << calls;
        for (int64_t nth = 1; nth <= calls; ++nth) faults.push_back({host, kind, nth});
      }
    }

    for (const Fault& fault : faults) {
      SCOPED_TRACE(Describe(fault));
      Session session{&target_, nullptr};
      Quietly([&] {
        RunWithFault(fault, session);
        CheckRecovery(session, Describe(fault));
      });
      if (testing::Test::HasFatalFailure()) return;
    }
    std::printf("fault sweep: %zu faults injected (calls per kind:%s)\n", faults.size(),
                per_kind.str().c_str());
  }

 private:
  const SweepTarget& target_;
  const std::function<void(const std::string&)>& expect_no_leaks_;
};

}  // namespace

void RunFaultSweep(const SweepTarget& target,
                   const std::function<void(const std::string&)>& expect_no_leaks) {
  Sweep(target, expect_no_leaks).Run();
}

void ResetGrabFlags(hostlayer::Instance& instance) {
  EXPECT_EQ(instance.SetParam("do_abort_grab", int64_t{0}), H_MSG_OK);
  EXPECT_EQ(instance.SetParam("grab_timeout", int64_t{5000}), H_MSG_OK);  // asks for a stop
  hostlayer::Images images;
  EXPECT_EQ(instance.Grab(&images), H_MSG_OK);  // takes the stop and clears it
}

}  // namespace reliability
