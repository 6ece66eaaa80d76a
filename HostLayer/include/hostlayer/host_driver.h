// The host driver: does for a program what the host does for an
// application.  It loads an acquisition interface by name, registers it
// once per process with FGInit, and drives its operation table: open with
// the 15 open parameters, grab, parameters, information queries, close.
//
// Thread-safety: like the real host, one Instance may be used from several
// threads at once (a grab waiting on one thread while another sets
// do_abort_grab).  Open and Close are serialised by the driver.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <variant>
#include <vector>

#include "host.h"
#include "hostlayer/export.h"

namespace hostlayer {

// A parameter value as an application writes it.
using Value = std::variant<int64_t, double, std::string>;

// The open parameters as an application passes them.  -1 (or "default" for
// the word parameters) takes the interface record's default, as the host
// does.  field takes "interlaced" (2), "progressive" (4) or a code;
// external_trigger takes "true" or "false".
struct OpenParams {
  Value horizontal_resolution = int64_t{-1};
  Value vertical_resolution = int64_t{-1};
  Value image_width = int64_t{-1};
  Value image_height = int64_t{-1};
  Value start_row = int64_t{-1};
  Value start_column = int64_t{-1};
  Value field = std::string("default");
  Value bits_per_channel = int64_t{-1};
  Value color_space = std::string("default");
  std::vector<Value> generic = {int64_t{-1}};
  Value external_trigger = std::string("default");
  Value camera_type = std::string("default");
  Value device = std::string("default");
  Value port = int64_t{-1};
  Value line_in = int64_t{-1};
};

// One delivered byte image.  Copy-mode images own their pixels (`owned`
// holds them).  Volatile images are views of an interface frame buffer:
// valid until that buffer is filled again (num_buffers grabs later) or the
// instance is closed.
struct Image {
  int32_t width = 0;
  int32_t height = 0;
  const uint8_t* pixels = nullptr;
  bool is_view = false;
  std::shared_ptr<uint8_t> owned;
};
// One gray image, or red, green and blue planes in this order.
using Images = std::vector<Image>;

class Instance;

class HOSTLAYER_API Driver {
 public:
  // Loads the interface ("Ombrix" finds libhAcqOmbrix.so / hAcqOmbrix.dll
  // on the library path; a path with a '/' is loaded as it is) and calls
  // FGInit with a zeroed FGClass once per process.  Later calls return the
  // same driver, whatever the name.
  static Driver& Get(const std::string& interface_name = "Ombrix");

  // Loaded and FGInit answered 2.
  bool ok() const { return load_error_.empty() && init_status_ == H_MSG_OK; }
  const std::string& load_error() const { return load_error_; }
  Herror init_status() const { return init_status_; }
  FGClass& fg_class() { return fg_class_; }

  // Calls FGInit again with a zeroed FGClass (after a test changed the
  // simulated cameras); kErrInstancesOpen while an instance is open.
  Herror Reinit();

  // The process handle the driver passes to every operation.
  static Hproc_handle ProcHandle();

  // The record Open hands the interface for these parameters: the class's
  // defaults where they say -1 or "default"; kErrBadArgument for a value of
  // the wrong kind or a text longer than the record holds.
  Herror ResolveRecord(const OpenParams& params, FGInstance* fginst);

  // Resolves the parameters (as ResolveRecord), OpenRequest, store the instance
  // in its slot, Open; on failure the instance is taken out of its slot and
  // freed again.  *out is set on success only.
  Herror Open(const OpenParams& params, std::unique_ptr<Instance>* out);

  // Information query: the info text and the values (the host block the
  // interface returned is freed here; kErrBadAnswer when the values are not
  // a live host block).  text and values may be null.
  Herror Info(int32_t query, std::string* text, std::vector<Value>* values);

  // The host's text for an error code.
  static std::string ErrorText(Herror code);

  // The interface library's own symbol (the listing exports), or null.
  void* Symbol(const char* name) const;

 private:
  explicit Driver(const std::string& interface_name);
  void* library_ = nullptr;
  FGInitProc init_ = nullptr;
  std::string load_error_;
  Herror init_status_ = 0;
  FGClass fg_class_{};
  std::mutex open_close_lock_;
  int32_t open_instances_ = 0;  // guarded by open_close_lock_
  friend class Instance;
};

class HOSTLAYER_API Instance {
 public:
  ~Instance();  // closes the instance if it is still open
  Instance(const Instance&) = delete;
  Instance& operator=(const Instance&) = delete;

  // Operations on a closed instance answer kErrInstanceClosed.  Images may
  // be null when the caller does not want them; they are released then.
  Herror Grab(Images* images);
  Herror GrabStartAsync(double max_delay_ms);
  Herror GrabAsync(double max_delay_ms, Images* images);
  Herror GrabData();
  Herror GrabDataAsync(double max_delay_ms);

  // Sets one parameter (the value travels as one ParamValue).
  Herror SetParam(const std::string& name, const Value& value);
  Herror SetParamRaw(const char* name, const ParamValue& value);
  // Reads a parameter or metadata query into a 256-value array; strings are
  // copied.  kErrBadAnswer for a count outside 0..256 or an unknown type code.
  Herror GetParam(const std::string& name, std::vector<Value>* values);

  Herror Close();  // the instance is closed only when this returns 2
  bool is_open() const { return open_; }

  FGInstance* raw() { return fginst_.get(); }

 private:
  friend class Driver;
  Instance(Driver* driver, std::unique_ptr<FGInstance> fginst, const std::vector<Value>& generic);
  Driver* driver_;
  std::unique_ptr<FGInstance> fginst_;
  // Own the generic values the FGInstance points at while it is open.
  std::vector<std::string> generic_texts_;
  std::vector<ParamValue> generic_;
  FGInstance** slot_ = nullptr;  // the FGClass slot OpenRequest gave
  std::atomic<bool> open_{false};
};

}  // namespace hostlayer
