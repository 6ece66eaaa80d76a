// Test controls of any SDK library built on the shared SDK ABI plumbing:
// fault points, the write log, per-camera counters and the counts of live
// SDK objects.  They work the same whatever the library's backend.
//
// Every SDK library exports the SDKCTL_* entry points below as plain C
// functions, chosen over a C++ API because a test program can then reach
// the controls of a library it loaded by path (dlsym, GetProcAddress) as
// easily as those of the library it links, and drive two SDK libraries in
// one process.  Controls wraps either: Controls::Linked() for the library
// the program links, Controls::Bind for one loaded at run time.  Everything
// here is inline, so test programs need no library of their own.
//
// Every entry point is thread-safe and may run while other threads use the
// SDK.  Cameras are named by their key.  The entry points answer 0, or -1
// for a null or out-of-range argument.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "camera_sdk.h"  // SDK_API
#include "common/abi_barrier.h"

extern "C" {

typedef struct SDKCTL_Counters {
  uint64_t connects;            // successful connect calls
  uint64_t disconnects;         // successful disconnect calls
  uint64_t grab_starts;         // successful startGrabbing calls
  uint64_t grab_stops;          // successful stopGrabbing calls that stopped a stream
  uint64_t frames_delivered;    // frames handed out by getFrame
  uint64_t frames_dropped;      // frames the camera lost for want of a free buffer
  uint64_t frames_outstanding;  // handed out and not yet released
} SDKCTL_Counters;

typedef struct SDKCTL_LiveCounts {
  uint64_t controls;
  uint64_t streams;
  uint64_t frames;
  uint64_t value_nodes;  // the nodes that controls hand out by value
  uint64_t named_nodes;  // from GENICAM_createEnumNode / createStringNode
} SDKCTL_LiveCounts;

// `point` is a sdkabi::FaultPoint.  The next `count` matching calls fail
// (-1: every one until cleared), after `skip` matching calls that pass.
// `feature` (a GenICam name, or "" for all) narrows FeatureRead and
// FeatureWrite faults.
SDK_API int32_t SDKCTL_InjectFault(const char* camera_key, int32_t point, int32_t count,
                                   int32_t skip, const char* feature);
SDK_API int32_t SDKCTL_ClearFaults(void);
SDK_API int32_t SDKCTL_FaultableCalls(int32_t point, uint64_t* calls);

// Calls `visit` once per entry of the camera's write log, in call order,
// on the calling thread; the texts live for that call.  `visit` must not
// throw.  A program in a process of its own shows its log through the
// environment: with TERVIXMD_WRITE_LOG=PATH every camera's log is written
// to PATH when the process ends, a line per entry: KEY, FEATURE, VALUE and
// "accepted" or "refused", tab separated.
typedef void (*SDKCTL_LogVisitor)(void* context, const char* feature, const char* value,
                                  int32_t accepted);
SDK_API int32_t SDKCTL_VisitWriteLog(const char* camera_key, SDKCTL_LogVisitor visit,
                                     void* context);
SDK_API int32_t SDKCTL_ClearWriteLog(const char* camera_key);

// Zeroes for a camera the library does not know.
SDK_API int32_t SDKCTL_CameraCounters(const char* camera_key, SDKCTL_Counters* counters);
// *state becomes 1 for yes, 0 for no or for an unknown camera.
SDK_API int32_t SDKCTL_IsConnected(const char* camera_key, int32_t* state);
SDK_API int32_t SDKCTL_IsGrabbing(const char* camera_key, int32_t* state);
// Over all cameras the library ever made, made and not yet released.
SDK_API int32_t SDKCTL_LiveObjects(SDKCTL_LiveCounts* live);

}  // extern "C"

namespace sdkabi {

// The calls a fault can fail.  The numbers are part of the entry points'
// contract: append, never reorder.
enum class FaultPoint : int32_t {
  SystemInstance,  // GENICAM_getSystemInstance (camera key ignored)
  Discovery,       // system discovery (camera key ignored)
  Connect,
  Disconnect,
  CreateAcquisitionControl,
  CreateImageFormatControl,
  CreateAnalogControl,
  CreateISPControl,
  CreateUserSetControl,
  CreateDeviceControl,
  CreateStream,
  StartGrabbing,
  StopGrabbing,
  FrameTimeout,  // getFrame answers -1 at once, as if its time-out passed
  InvalidFrame,  // the delivered frame reports valid() == -1 (incomplete)
  FeatureRead,   // each node read: value, minimum, maximum, increment, symbol
  FeatureWrite,  // each node write (setValue, setValueBySymbol)
  EnumList,      // getEnumSymbolList
  CreateEnumNode,
  CreateStringNode,
  CommandExecute,  // execute answers -1 and has no effect
};
inline constexpr int kFaultPoints = 21;

inline constexpr int kForever = -1;

// One feature write or command execution.  Values as text: integers in
// decimal, floats in shortest round-trip form ("0.5", "5000"), bools
// "true"/"false", enumerations by symbol, commands "".
struct LogEntry {
  std::string feature;
  std::string value;
  bool accepted;  // false when refused (limits, lock, fault, not connected)
  bool operator==(const LogEntry&) const = default;
};

using Counters = SDKCTL_Counters;

struct LiveObjectCount {
  uint64_t controls = 0;
  uint64_t streams = 0;
  uint64_t frames = 0;
  uint64_t value_nodes = 0;
  uint64_t named_nodes = 0;
  bool operator==(const LiveObjectCount&) const = default;
};

// The controls of one SDK library.
class Controls {
 public:
  // The entry points of one library.
  struct EntryPoints {
    decltype(&SDKCTL_InjectFault) inject_fault;
    decltype(&SDKCTL_ClearFaults) clear_faults;
    decltype(&SDKCTL_FaultableCalls) faultable_calls;
    decltype(&SDKCTL_VisitWriteLog) visit_write_log;
    decltype(&SDKCTL_ClearWriteLog) clear_write_log;
    decltype(&SDKCTL_CameraCounters) camera_counters;
    decltype(&SDKCTL_IsConnected) is_connected;
    decltype(&SDKCTL_IsGrabbing) is_grabbing;
    decltype(&SDKCTL_LiveObjects) live_objects;
  };

  // The library this program links.
  static Controls Linked() {
    return Controls({&SDKCTL_InjectFault, &SDKCTL_ClearFaults, &SDKCTL_FaultableCalls,
                     &SDKCTL_VisitWriteLog, &SDKCTL_ClearWriteLog, &SDKCTL_CameraCounters,
                     &SDKCTL_IsConnected, &SDKCTL_IsGrabbing, &SDKCTL_LiveObjects});
  }

  // A library loaded at run time: `lookup(name)` gives the address of the
  // entry point `name` (dlsym, GetProcAddress) or null.  Nothing when an
  // entry point is missing.
  template <typename Lookup>
  static std::optional<Controls> Bind(Lookup&& lookup) {
    EntryPoints entry{};
    bool complete = true;
    auto bind = [&](auto& slot, const char* name) {
      slot = reinterpret_cast<std::remove_reference_t<decltype(slot)>>(lookup(name));
      complete = complete && slot != nullptr;
    };
    bind(entry.inject_fault, "SDKCTL_InjectFault");
    bind(entry.clear_faults, "SDKCTL_ClearFaults");
    bind(entry.faultable_calls, "SDKCTL_FaultableCalls");
    bind(entry.visit_write_log, "SDKCTL_VisitWriteLog");
    bind(entry.clear_write_log, "SDKCTL_ClearWriteLog");
    bind(entry.camera_counters, "SDKCTL_CameraCounters");
    bind(entry.is_connected, "SDKCTL_IsConnected");
    bind(entry.is_grabbing, "SDKCTL_IsGrabbing");
    bind(entry.live_objects, "SDKCTL_LiveObjects");
    if (!complete) return std::nullopt;
    return Controls(entry);
  }

  // The next `count` calls of `point` on camera `camera_key` fail
  // (kForever: all of them, until ClearFaults).  For FeatureRead and
  // FeatureWrite, `feature` names one feature by its GenICam name
  // ("ExposureTime"); empty means every feature.  A failed call changes
  // nothing.  Faults on the same point add up: the oldest one still armed
  // is used first.
  void InjectFault(const std::string& camera_key, FaultPoint point, int count = 1,
                   const std::string& feature = "") const {
    entry_.inject_fault(camera_key.c_str(), static_cast<int32_t>(point), count, 0, feature.c_str());
  }
  // One failure of the `nth` matching call from now (1 = the next one); the
  // calls before it pass.  Lets a sweep fail each call of a run in turn.
  void InjectFaultAt(const std::string& camera_key, FaultPoint point, int nth,
                     const std::string& feature = "") const {
    if (nth >= 1)
      entry_.inject_fault(camera_key.c_str(), static_cast<int32_t>(point), 1, nth - 1,
                          feature.c_str());
  }
  void ClearFaults() const { entry_.clear_faults(); }
  // Calls of `point` over all cameras that an injected fault could have
  // failed, since the process started (never reset: callers take
  // differences).
  uint64_t FaultableCalls(FaultPoint point) const {
    uint64_t calls = 0;
    entry_.faultable_calls(static_cast<int32_t>(point), &calls);
    return calls;
  }

  // Feature writes and command executions in call order, accepted or not.
  // A camera starts with an empty log.
  std::vector<LogEntry> WriteLog(const std::string& camera_key) const {
    std::vector<LogEntry> log;
    entry_.visit_write_log(
        camera_key.c_str(),
        [](void* context, const char* feature, const char* value, int32_t accepted) {
          // An entry lost to an allocation failing shows as a short log.
          boundary::Barrier([&] {
            static_cast<std::vector<LogEntry>*>(context)->push_back(
                {feature, value, accepted != 0});
          });
        },
        &log);
    return log;
  }
  void ClearWriteLog(const std::string& camera_key) const {
    entry_.clear_write_log(camera_key.c_str());
  }

  // Zeroed counters for an unknown key.
  Counters CameraCounters(const std::string& camera_key) const {
    Counters counters{};
    entry_.camera_counters(camera_key.c_str(), &counters);
    return counters;
  }
  bool IsConnected(const std::string& camera_key) const {
    int32_t state = 0;
    entry_.is_connected(camera_key.c_str(), &state);
    return state == 1;
  }
  // Whether any stream of the camera grabs.
  bool IsGrabbing(const std::string& camera_key) const {
    int32_t state = 0;
    entry_.is_grabbing(camera_key.c_str(), &state);
    return state == 1;
  }
  LiveObjectCount LiveObjects() const {
    SDKCTL_LiveCounts live{};
    entry_.live_objects(&live);
    return {live.controls, live.streams, live.frames, live.value_nodes, live.named_nodes};
  }

 private:
  explicit Controls(const EntryPoints& entry) : entry_(entry) {}
  EntryPoints entry_;
};

}  // namespace sdkabi
