// The operation table's slots: gate, barrier, one call.  The answers for an
// instance the gate refuses, and for an exception, are the ones the rules
// at the declarations give.
#include "acquisition/grab_operations.h"
#include "common/abi_barrier.h"
#include "device/lifecycle.h"
#include "parameters/parameter_operations.h"
#include "registration/instance_gate.h"
#include "registration/instance_pool.h"
#include "registration/operations.h"

namespace {

// The grabs and the set request also need the device string to still
// select the instance's camera.
enum class Device { kAny, kMustMatch };

// Runs `call` on the open instance behind fginst, or answers `refused`.
template <class Call>
Herror OnOpenInstance(FGInstance* fginst, Herror refused, Device device, Call&& call) noexcept {
  return boundary::Barrier(refused, [&] {
    const std::optional<OpenInstance> open = OpenInstanceOf(fginst, device == Device::kMustMatch);
    return open ? call(*open) : refused;
  });
}

}  // namespace

FGInstance** FGOpenRequest(Hproc_handle, FGInstance* fginst) noexcept {
  return boundary::Barrier(static_cast<FGInstance**>(nullptr),
                           [&] { return fginst != nullptr ? HandOutRecord(*fginst) : nullptr; });
}

Herror FGOpen(Hproc_handle proc_id, FGInstance* fginst) noexcept {
  return boundary::Barrier(H_ERR_FGDV, [&] {
    const bool handed_out = fginst != nullptr && fginst->inst_data != nullptr;
    return handed_out ? OpenDevice(proc_id, *fginst) : H_ERR_FGDV;
  });
}

Herror FGClose(Hproc_handle proc_id, FGInstance* fginst) noexcept {
  return boundary::Barrier(H_ERR_FGDV, [&] {
    InstanceRecord* inst = ClosableRecordOf(fginst);
    return inst != nullptr ? CloseDevice(proc_id, *inst) : H_MSG_OK;
  });
}

Herror FGGrab(Hproc_handle proc_id, FGInstance* fginst, Himage* image,
              int32_t* num_image) noexcept {
  return OnOpenInstance(fginst, H_ERR_FGDV, Device::kMustMatch, [&](const OpenInstance& open) {
    return Grab(proc_id, open, image, num_image);
  });
}

Herror FGGrabStartAsync(Hproc_handle, FGInstance* fginst, double max_delay) noexcept {
  NoteAsyncGrabStart();
  return OnOpenInstance(fginst, H_ERR_FGDV, Device::kMustMatch,
                        [&](const OpenInstance& open) { return StartAsyncGrab(open, max_delay); });
}

Herror FGGrabAsync(Hproc_handle proc_id, FGInstance* fginst, double max_delay, Himage* image,
                   int32_t* num_image) noexcept {
  return OnOpenInstance(fginst, H_ERR_FGDV, Device::kMustMatch, [&](const OpenInstance& open) {
    return GrabAsync(proc_id, open, max_delay, image, num_image);
  });
}

Herror FGGrabData(Hproc_handle, FGInstance* fginst, void*, void*, void*, void*) noexcept {
  return OnOpenInstance(fginst, H_ERR_FGNOTSUP, Device::kAny,
                        [&](const OpenInstance& open) { return GrabData(open); });
}

Herror FGGrabDataAsync(Hproc_handle, FGInstance* fginst, double max_delay, void*, void*, void*,
                       void*) noexcept {
  return OnOpenInstance(fginst, H_ERR_FGNOTSUP, Device::kAny,
                        [&](const OpenInstance& open) { return GrabDataAsync(open, max_delay); });
}

Herror FGInfo(Hproc_handle proc_id, int32_t query, const char** info, ParamValue** values,
              int32_t* num_values) noexcept {
  return boundary::Barrier(
      H_ERR_FGPARV, [&] { return AnswerInfoQuery(proc_id, query, info, values, num_values); });
}

Herror FGSetParam(Hproc_handle proc_id, FGInstance* fginst, const char* name,
                  const ParamValue* value) noexcept {
  NoteSetRequest();
  return OnOpenInstance(fginst, H_ERR_FGPARV, Device::kMustMatch, [&](const OpenInstance& open) {
    return SetParameter(proc_id, open, name, value);
  });
}

Herror FGGetParam(Hproc_handle, FGInstance* fginst, const char* name, ParamValue* value,
                  int32_t* num_value) noexcept {
  if (value == nullptr || num_value == nullptr) return H_ERR_FGPARV;
  *num_value = 1;
  return OnOpenInstance(fginst, H_ERR_FGPARV, Device::kAny, [&](const OpenInstance& open) {
    return GetParameter(open, name, value, num_value);
  });
}
