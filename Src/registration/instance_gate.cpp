#include "registration/instance_gate.h"

#include "registration/camera_table.h"

std::optional<OpenInstance> OpenInstanceOf(FGInstance* fginst, bool device_must_match) {
  if (fginst == nullptr || fginst->inst_data == nullptr) return std::nullopt;
  InstanceRecord& inst = *fginst->inst_data;
  if (inst.board == nullptr || inst.camera == nullptr) return std::nullopt;
  if (device_must_match && FindCameraEntry(fginst->device) != inst.camera) return std::nullopt;
  return OpenInstance{*fginst, inst, *inst.camera};
}

InstanceRecord* ClosableRecordOf(FGInstance* fginst) {
  if (fginst == nullptr || fginst->inst_data == nullptr) return nullptr;
  InstanceRecord* inst = fginst->inst_data;
  return inst->board != nullptr ? inst : nullptr;
}
