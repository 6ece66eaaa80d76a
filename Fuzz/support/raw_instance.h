// An instance opened through the operation table with a record the caller
// fills freely.  The host driver checks open parameters before the
// interface sees them; this reaches the interface with any record a host
// could pass.
#pragma once

#include "host.h"

namespace hacq_fuzz {

class RawInstance {
 public:
  // The record starts with the interface's default open parameters.
  RawInstance();
  ~RawInstance();  // closes the instance if it is open
  RawInstance(const RawInstance&) = delete;
  RawInstance& operator=(const RawInstance&) = delete;

  FGInstance& record() { return record_; }

  Herror Open();
  // Fails the run when the interface refuses to close an open instance.
  void Close();
  // One synchronous grab; checks and reads every delivered image, then
  // gives the host-owned ones back.
  Herror Grab();
  Herror Set(const char* name, const ParamValue& value);

 private:
  FGClass& table_;
  FGInstance record_{};
  FGInstance** slot_ = nullptr;
  bool open_ = false;
};

}  // namespace hacq_fuzz
