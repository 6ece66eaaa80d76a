// FGInit: the one entry the host looks up.  The host calls it once after
// loading the library, before any other operation; a later call (with no
// instance open) starts over from a fresh discovery.
#include <mutex>

#include "base/contract_texts.h"
#include "base/interface_state.h"
#include "base/messages.h"
#include "base/text_copy.h"
#include "bindings/platform.h"
#include "common/abi_barrier.h"
#include "device/camera_objects.h"
#include "device/instance_memory.h"
#include "registration/camera_table.h"
#include "registration/exports.h"
#include "registration/instance_pool.h"
#include "registration/operations.h"
#include "registration/sdk_binding.h"

namespace {

constexpr Herror kInitFailed = 3;

bool HoldsObjects(const CameraEntry& entry) {
  return entry.stream != nullptr || entry.acquisition_ctl != nullptr ||
         entry.image_format_ctl != nullptr || entry.analog_ctl != nullptr ||
         entry.isp_ctl != nullptr || entry.user_set_ctl != nullptr || entry.dev_ctl != nullptr;
}

// Whatever an earlier registration left behind (only when the caller broke
// the "nothing open" rule) is freed rather than forgotten.
void ForgetPreviousSession(Hproc_handle proc_id) {
  for (InstanceRecord& inst : inst_pool) {
    if (inst.board != nullptr) TeardownInstance(proc_id, inst, H_MSG_OK);
  }
  for (uint32_t i = 0; i < gs_cameraCntDiscovery; ++i) {
    if (HoldsObjects(camera_table[i])) ReleaseCameraObjects(camera_table[i]);
  }
  ClearCameraTable();
}

void FillInterfaceRecord(FGClass& fg) {
  fg.revision_number = 5;
  fg.available = true;
  fg.instances_num = 0;
  fg.instances_max = kMaxInstances;

  fg.OpenRequest = FGOpenRequest;
  fg.Open = FGOpen;
  fg.Close = FGClose;
  fg.Grab = FGGrab;
  fg.GrabStartAsync = FGGrabStartAsync;
  fg.GrabAsync = FGGrabAsync;
  fg.GrabData = FGGrabData;
  fg.GrabDataAsync = FGGrabDataAsync;
  fg.Info = FGInfo;
  fg.SetParam = FGSetParam;
  fg.GetParam = FGGetParam;
  fg.SetLut = nullptr;
  fg.GetLut = nullptr;
  fg.SetParamTuple = nullptr;
  fg.GetParamTuple = nullptr;

  fg.horizontal_resolution = 1;
  fg.vertical_resolution = 1;
  fg.image_width = 0;
  fg.image_height = 0;
  fg.start_row = 0;
  fg.start_column = 0;
  fg.field = 4;
  fg.bits_per_channel = 8;
  CopyText(fg.color_space, contract::kWordDefault);
  fg.gain = 1.0f;
  fg.external_trigger = false;
  CopyText(fg.camera_type, contract::kCameraTypeAuto);
  CopyText(fg.device, contract::kFirstDevice);
  fg.port = 0;
  fg.line_in = 0;
}

void Register(FGClass* fg) {
  ResetInstancePool();
  if (fg != nullptr) FillInterfaceRecord(*fg);
  fg_class = fg;
}

Herror Init(Hproc_handle proc_id, FGClass* fg) {
  std::lock_guard<std::mutex> lock(device_lock);
  ForgetPreviousSession(proc_id);

  const SdkEntryPoints& sdk = BindSdk();
  // Without the library or its entry point the interface still registers,
  // with no camera, so every open answers H_ERR_FGDV instead of calling
  // into what is not there.
  if (!sdk.library_loaded || sdk.getSystemInstance == nullptr) {
    PlatformMessageBox(
        sdk.library_loaded ? contract::kSystemEntryMissing : contract::kLibraryMissing,
        contract::kBoxCaption);
    Register(fg);
    return kInitFailed;
  }
  GENICAM_System* system = nullptr;
  if (sdk.getSystemInstance(&system) == SDK_FAIL || system == nullptr) {
    PrintMessage(contract::kSystemMissing);
    return kInitFailed;
  }
  GENICAM_Camera* cameras = nullptr;
  uint32_t count = 0;
  if (system->discovery(system, &cameras, &count, SDK_DISCOVERY_ALL) == SDK_FAIL) {
    PrintMessage(contract::kDiscoveryFailed);
    return kInitFailed;
  }
  FillCameraTable(cameras, count);
  Register(fg);
  return H_MSG_OK;
}

}  // namespace

extern "C" HACQ_EXPORT Herror FGInit(Hproc_handle proc_id, FGClass* fg) noexcept {
  return boundary::Barrier(kInitFailed, [&] { return Init(proc_id, fg); });
}
