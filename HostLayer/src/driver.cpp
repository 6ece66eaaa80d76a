// The driver's process-wide part: loading, FGInit, open, information queries.
#include <functional>

#include "host_state.h"
#include "hostlayer/host_driver.h"
#include "library_loader.h"
#include "open_params.h"
#include "param_values.h"

namespace hostlayer {
namespace {

int proc_token = 0;

}  // namespace

Hproc_handle Driver::ProcHandle() {
  return &proc_token;
}

Driver& Driver::Get(const std::string& interface_name) {
  // Never destroyed: the interface stays loaded until the process ends, as
  // with the real host, so nothing runs against an unloaded library at exit.
  static Driver* const driver = new Driver(interface_name);
  return *driver;
}

Driver::Driver(const std::string& interface_name) {
  library_ = detail::LoadLibraryFile(detail::InterfaceFileName(interface_name), &load_error_);
  if (library_ == nullptr) return;
  init_ = reinterpret_cast<FGInitProc>(detail::FindLibrarySymbol(library_, "FGInit"));
  if (init_ == nullptr) {
    load_error_ = "the library exports no FGInit";
    return;
  }
  init_status_ = init_(ProcHandle(), &fg_class_);
}

Herror Driver::Reinit() {
  std::lock_guard lock(open_close_lock_);
  if (init_ == nullptr) return kErrNotLoaded;
  if (open_instances_ > 0) return kErrInstancesOpen;
  fg_class_ = FGClass{};
  init_status_ = init_(ProcHandle(), &fg_class_);
  return init_status_;
}

void* Driver::Symbol(const char* name) const {
  return detail::FindLibrarySymbol(library_, name);
}

Herror Driver::ResolveRecord(const OpenParams& params, FGInstance* fginst) {
  fginst->fgclass = &fg_class_;
  return detail::ResolveOpenParams(params, fg_class_, fginst);
}

Herror Driver::Open(const OpenParams& params, std::unique_ptr<Instance>* out) {
  if (out == nullptr) return kErrBadArgument;
  std::lock_guard lock(open_close_lock_);
  if (!ok() || fg_class_.OpenRequest == nullptr || fg_class_.Open == nullptr) {
    return kErrNotLoaded;
  }
  auto fginst = std::make_unique<FGInstance>();
  if (const Herror status = ResolveRecord(params, fginst.get()); status != H_MSG_OK) return status;
  std::unique_ptr<Instance> instance(new Instance(this, std::move(fginst), params.generic));
  FGInstance* raw = instance->raw();

  FGInstance** slot = fg_class_.OpenRequest(ProcHandle(), raw);
  const std::less<FGInstance**> before;
  const bool in_table = slot != nullptr && !before(slot, &fg_class_.instance[0]) &&
                        before(slot, &fg_class_.instance[0] + FG_MAX_INST);
  // A slot outside the table or still holding another instance is refused
  // rather than overwritten.
  if (!in_table || *slot != nullptr) return kErrNoInstanceSlot;
  *slot = raw;
  instance->slot_ = slot;

  const Herror status = fg_class_.Open(ProcHandle(), raw);
  if (status > H_MSG_OK) {
    *slot = nullptr;            // the instance (never open) is freed with `instance`
    instance->slot_ = nullptr;  // ... under this lock, which its destructor must not take
    return status;
  }
  instance->open_ = true;
  ++open_instances_;
  fg_class_.instances_num = open_instances_;
  *out = std::move(instance);
  return status;
}

Herror Driver::Info(int32_t query, std::string* text, std::vector<Value>* values) {
  if (!ok() || fg_class_.Info == nullptr) return kErrNotLoaded;
  const char* info = nullptr;
  ParamValue* answer = nullptr;
  int32_t count = 0;
  const Herror status = fg_class_.Info(ProcHandle(), query, &info, &answer, &count);
  Herror copied = H_MSG_OK;
  if (status <= H_MSG_OK) {
    const bool sound = count >= 0 && (answer != nullptr || count == 0);
    copied = sound ? detail::CopyValues(answer, count, values) : kErrBadAnswer;
    if (text != nullptr) *text = info != nullptr ? info : "";
  }
  // The values are one host block the host owns from here on.
  if (answer != nullptr && detail::ReleaseBlock(answer) != H_MSG_OK && status <= H_MSG_OK) {
    return kErrBadAnswer;
  }
  return status > H_MSG_OK ? status : copied != H_MSG_OK ? copied : status;
}

}  // namespace hostlayer
