// What a camera SDK library puts behind the shared SDK ABI plumbing
// (libSdkAbi).  The plumbing serves every GENICAM_* entry point and record
// of camera_sdk.h: discovery records, control and node records and their
// release, the buffer conventions, stream and frame records, the frame
// wait, the exception barrier, fault points, the write log and the counts
// that tests read (sdk_abi/controls.h).  A backend only answers what the
// camera itself knows: which cameras there are, their state, their
// features by GenICam name, and their frames.
//
// Threads: the plumbing calls every member from whatever thread the SDK's
// caller uses, several at once, on the same object too; each backend makes
// its objects safe for that.  The plumbing never holds a lock of its own
// while it calls a backend, so a backend may call the control entry points
// (SDKCTL_*) while holding its locks.
//
// Failures: members answer false (or null) for "failed"; the plumbing turns
// that into the ABI's -1.  A member may throw (an allocation failing): the
// plumbing's exception barrier answers -1 for it.  Destructors must not
// throw.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace sdkabi {

using Clock = std::chrono::steady_clock;

// The kinds of feature the ABI's nodes reach.
enum class FeatureKind { Int, Float, Bool, Enum, String, Command };

// Which number of an integer or float feature a read asks for.  Floats are
// never asked for an increment.
enum class NumberPart { Value, Min, Max, Increment };

// What discovery reports for a camera.  The name is "" when the camera has
// none.
struct CameraIdentity {
  std::string key;
  std::string name;
  std::string vendor;
  std::string model;
  std::string serial;
};

enum class CameraState {
  Gone,          // unplugged, lost, or no longer one of the backend's cameras
  Disconnected,  // there, not connected by this process
  Connected,
};

// Wakes a getFrame that waits for its stream's next frame.  The plumbing
// makes one per stream and hands it to Camera::OpenStream; the backend
// calls Notify from any thread (its own callback thread, a test control,
// with or without its locks held) whenever a waiter should look again: a
// frame arrived, a frame could now be made (a buffer came back, the timing
// changed), or grabbing ended for any reason (stop, disconnect, unplug).
// The backend may keep its share as long as it likes.
class FrameSignal {
 public:
  void Notify() {
    {
      std::lock_guard lock(mutex_);
      ++notifications_;
    }
    wake_.notify_all();
  }

  // The plumbing's side: note Count() before asking the stream for a
  // frame, then WaitUntil with that count, so a Notify made in between is
  // never lost.
  uint64_t Count() {
    std::lock_guard lock(mutex_);
    return notifications_;
  }
  void WaitUntil(uint64_t seen, Clock::time_point until) {
    std::unique_lock lock(mutex_);
    wake_.wait_until(lock, until, [&] { return notifications_ != seen; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable wake_;
  uint64_t notifications_ = 0;
};

// A frame as delivered.  `image` points at `size` bytes that stay valid
// and unchanged until the frame is destroyed.
struct FrameInfo {
  const uint8_t* image = nullptr;
  uint32_t size = 0;  // bytes, padding included
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t pixel_format = 0;  // GenICam PFNC code
  uint32_t padding_x = 0;     // bytes at the end of each row
  uint32_t padding_y = 0;     // bytes at the end of the image
  uint64_t block_id = 0;      // the frame's number in its stream, 0 for the first after a start
  bool complete = true;       // false for a frame the camera delivered damaged or in part
};

// One delivered frame.  It holds its backend buffer until the plumbing
// destroys it, which happens on the thread that releases the frame and may
// come after the stream that made it is destroyed.
class Frame {
 public:
  virtual ~Frame() = default;
  // Read once, on the thread that took the frame, before it is handed out.
  virtual FrameInfo Describe() const = 0;
};

// What one look at a stream found.
struct FramePoll {
  std::unique_ptr<Frame> frame;  // the next frame, now the caller's; null when none
  bool stopped = false;          // no frame and none will come: the stream does not grab
  // No frame yet: when one is due without a Notify (a fixed rate), or
  // never.  The plumbing waits for a Notify or this time, whichever first.
  Clock::time_point retry_at = Clock::time_point::max();
};

enum class StopResult { Failed, Stopped, NotGrabbing };

// One stream of a camera.  Owned by the plumbing's stream record and
// destroyed when the caller releases the stream; the destructor stops
// grabbing.  Frames already handed out stay valid.
class Stream {
 public:
  virtual ~Stream() = default;
  // Starts grabbing; at most `max_images` frames when it is not 0, block
  // ids from 0.  False when the camera refuses, or already grabs.
  virtual bool Start(uint64_t max_images) = 0;
  // Stops grabbing, dropping frames not yet taken, and notifies the
  // stream's signal so a waiting getFrame ends at once.
  virtual StopResult Stop() = 0;
  virtual bool IsGrabbing() = 0;
  // Never blocks.  Called again after each Notify and at retry_at until a
  // frame comes, the stream stops or the caller's time-out passes; several
  // threads may wait on one stream, each frame goes to one of them.
  virtual FramePoll TakeFrame(Clock::time_point now) = 0;
};

// One camera.  Camera objects are the backend's and must stay valid for
// the life of the process: discovery records, controls, nodes and streams
// keep raw pointers to them.  Feature names are GenICam names ("Width"),
// NUL-terminated, matched exactly; a feature is looked up on each call, so
// a node never holds anything of the backend's.
class Camera {
 public:
  // Read at each discovery; the records keep that copy.
  virtual CameraIdentity Identity() = 0;
  // Asked before almost every operation: answer from what the backend
  // knows, without a round trip to the camera.
  virtual CameraState State() = 0;
  // Connect answers true also when this process is already connected.
  virtual bool Connect() = 0;
  // Also stops every stream of the camera (notifying their signals).
  virtual bool Disconnect() = 0;
  // Whether any stream of the camera grabs.
  virtual bool IsGrabbing() = 0;
  // Frames the camera lost for want of a buffer, since the object was made.
  virtual uint64_t FramesDropped() = 0;
  // A stream on channel 0 of a connected camera, not grabbing; null when
  // the camera refuses.  `signal` is the stream's, see FrameSignal.
  virtual std::unique_ptr<Stream> OpenStream(std::shared_ptr<FrameSignal> signal) = 0;

  // Whether the camera has a feature of this name that nodes of `kind`
  // reach.  Answers without a connection where the backend can.
  virtual bool HasFeature(const char* name, FeatureKind kind) = 0;

  // Reads and writes fail (false, `value` untouched) when the camera is
  // not connected, has no such feature, or refuses.  Writes check the
  // value against the feature's limits, increment and symbol list.
  virtual bool ReadInt(const char* name, NumberPart part, int64_t& value) = 0;
  virtual bool ReadFloat(const char* name, NumberPart part, double& value) = 0;
  virtual bool ReadBool(const char* name, bool& value) = 0;
  virtual bool ReadEnum(const char* name, std::string& symbol) = 0;
  virtual bool ReadEnumSymbols(const char* name, std::vector<std::string>& symbols) = 0;
  virtual bool ReadString(const char* name, std::string& value) = 0;
  virtual bool WriteInt(const char* name, int64_t value) = 0;
  virtual bool WriteFloat(const char* name, double value) = 0;
  virtual bool WriteBool(const char* name, bool value) = 0;
  virtual bool WriteEnum(const char* name, const std::string& symbol) = 0;
  virtual bool WriteString(const char* name, const std::string& value) = 0;
  virtual bool Execute(const char* name) = 0;

 protected:
  ~Camera() = default;  // never destroyed through the plumbing
};

// The SDK's cameras.
class Backend {
 public:
  // The cameras there now, in a stable order.  May take long (a network
  // discovery); the plumbing copies each one's Identity into its records.
  virtual std::vector<Camera*> Discover() = 0;
  // The camera the backend now knows under `key`, or null.  Used by the
  // test controls, which name cameras by key.
  virtual Camera* CameraByKey(const std::string& key) = 0;

 protected:
  ~Backend() = default;
};

// Defined once by each SDK library: its backend, made on first use and
// never destroyed (records may be used during static destruction).
Backend& TheBackend();

}  // namespace sdkabi
