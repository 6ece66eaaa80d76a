#include "hacq_test/session_steps.h"

#include <vector>

namespace hacq_test {

hostlayer::OpenParams SessionOpenParams(const std::string& camera) {
  hostlayer::OpenParams params;
  params.device = camera;
  params.color_space = std::string("gray");
  params.generic = {std::string("num_buffers=3")};
  return params;
}

Herror RunStep(const Step& step, std::unique_ptr<hostlayer::Instance>& instance,
               const std::string& camera) {
  hostlayer::Images images;
  std::vector<hostlayer::Value> values;
  switch (step.kind) {
    case StepKind::Open:
      return hostlayer::Driver::Get().Open(SessionOpenParams(camera), &instance);
    case StepKind::Grab:
      return step.delay > 0 ? instance->GrabAsync(step.delay, &images) : instance->Grab(&images);
    case StepKind::StartAsync:
      return instance->GrabStartAsync(step.delay);
    case StepKind::Get:
      return instance->GetParam(step.parameter, &values);
    case StepKind::Set:
    case StepKind::Trigger:
    case StepKind::Abort:
      return instance->SetParam(step.parameter, step.value);
    case StepKind::Close:
      return instance->Close();
  }
  return H_MSG_OK;
}

}  // namespace hacq_test
