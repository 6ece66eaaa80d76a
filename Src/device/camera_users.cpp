#include "camera_users.h"

namespace {

CameraEntry* camera_of[kMaxInstances] = {};

bool ValidIndex(int32_t index) { return index >= 0 && index < kMaxInstances; }

}  // namespace

void AttachInstance(const InstanceRecord& inst, CameraEntry& entry) {
  if (!ValidIndex(inst.pool_index)) return;
  camera_of[inst.pool_index] = &entry;
  ++entry.users;
}

CameraEntry* DetachInstance(const InstanceRecord& inst) {
  if (!ValidIndex(inst.pool_index)) return nullptr;
  CameraEntry* entry = camera_of[inst.pool_index];
  camera_of[inst.pool_index] = nullptr;
  if (entry == nullptr) return nullptr;
  if (entry->users > 0) --entry->users;
  return entry->users == 0 ? entry : nullptr;
}

void ForgetAllInstances() {
  for (CameraEntry*& entry : camera_of) entry = nullptr;
}
