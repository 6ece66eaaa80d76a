// One open instance: the per-instance operations of the table.  Every call
// but Close may come from several threads at once; the interface does its
// own locking.
#include "delivered_images.h"
#include "host_state.h"
#include "hostlayer/host_driver.h"
#include "param_values.h"

namespace hostlayer {
namespace {

constexpr int32_t kGetParamRoom = 256;

}  // namespace

Instance::Instance(Driver* driver, std::unique_ptr<FGInstance> fginst,
                   const std::vector<Value>& generic)
    : driver_(driver), fginst_(std::move(fginst)) {
  // Reserve first: the ParamValues point into these strings.
  generic_texts_.reserve(generic.size());
  generic_.reserve(generic.size());
  for (const Value& value : generic) {
    generic_texts_.emplace_back();
    generic_.push_back(detail::ToParamValue(value, &generic_texts_.back()));
  }
  fginst_->generic = generic_.empty() ? nullptr : generic_.data();
  fginst_->num_generic = static_cast<int32_t>(generic_.size());
}

Instance::~Instance() {
  if (open_) Close();
  // A failed close leaves the interface's record behind; at least the
  // host's table must not point at the freed instance.  Once closed, the
  // slot may already serve an instance another thread is opening.
  if (slot_ == nullptr) return;
  std::lock_guard lock(driver_->open_close_lock_);
  if (*slot_ == fginst_.get()) *slot_ = nullptr;
}

Herror Instance::Grab(Images* images) {
  if (!open_) return kErrInstanceClosed;
  if (driver_->fg_class_.Grab == nullptr) return H_ERR_FGNOTSUP;
  detail::RawImages raw{};
  int32_t count = 0;
  const Herror status =
      driver_->fg_class_.Grab(Driver::ProcHandle(), fginst_.get(), raw.data(), &count);
  return detail::CollectImages(status, raw, count, images);
}

Herror Instance::GrabStartAsync(double max_delay_ms) {
  if (!open_) return kErrInstanceClosed;
  if (driver_->fg_class_.GrabStartAsync == nullptr) return H_ERR_FGNOTSUP;
  return driver_->fg_class_.GrabStartAsync(Driver::ProcHandle(), fginst_.get(), max_delay_ms);
}

Herror Instance::GrabAsync(double max_delay_ms, Images* images) {
  if (!open_) return kErrInstanceClosed;
  if (driver_->fg_class_.GrabAsync == nullptr) return H_ERR_FGNOTSUP;
  detail::RawImages raw{};
  int32_t count = 0;
  const Herror status = driver_->fg_class_.GrabAsync(Driver::ProcHandle(), fginst_.get(),
                                                     max_delay_ms, raw.data(), &count);
  return detail::CollectImages(status, raw, count, images);
}

Herror Instance::GrabData() {
  if (!open_) return kErrInstanceClosed;
  if (driver_->fg_class_.GrabData == nullptr) return H_ERR_FGNOTSUP;
  return driver_->fg_class_.GrabData(Driver::ProcHandle(), fginst_.get(), nullptr, nullptr, nullptr,
                                     nullptr);
}

Herror Instance::GrabDataAsync(double max_delay_ms) {
  if (!open_) return kErrInstanceClosed;
  if (driver_->fg_class_.GrabDataAsync == nullptr) return H_ERR_FGNOTSUP;
  return driver_->fg_class_.GrabDataAsync(Driver::ProcHandle(), fginst_.get(), max_delay_ms,
                                          nullptr, nullptr, nullptr, nullptr);
}

Herror Instance::SetParam(const std::string& name, const Value& value) {
  std::string text;
  const ParamValue converted = detail::ToParamValue(value, &text);
  return SetParamRaw(name.c_str(), converted);
}

Herror Instance::SetParamRaw(const char* name, const ParamValue& value) {
  if (!open_) return kErrInstanceClosed;
  if (name == nullptr) return kErrBadArgument;
  if (driver_->fg_class_.SetParam == nullptr) return H_ERR_FGNOTSUP;
  return driver_->fg_class_.SetParam(Driver::ProcHandle(), fginst_.get(), name, &value);
}

Herror Instance::GetParam(const std::string& name, std::vector<Value>* values) {
  if (!open_) return kErrInstanceClosed;
  if (driver_->fg_class_.GetParam == nullptr) return H_ERR_FGNOTSUP;
  std::vector<ParamValue> answer(kGetParamRoom);
  int32_t count = 0;
  const Herror status = driver_->fg_class_.GetParam(Driver::ProcHandle(), fginst_.get(),
                                                    name.c_str(), answer.data(), &count);
  if (status > H_MSG_OK) return status;
  if (count < 0 || count > kGetParamRoom) return kErrBadAnswer;
  const Herror copied = detail::CopyValues(answer.data(), count, values);
  return copied != H_MSG_OK ? copied : status;
}

Herror Instance::Close() {
  std::lock_guard lock(driver_->open_close_lock_);
  if (!open_) return kErrInstanceClosed;
  if (driver_->fg_class_.Close == nullptr) return H_ERR_FGNOTSUP;
  const Herror status = driver_->fg_class_.Close(Driver::ProcHandle(), fginst_.get());
  if (status > H_MSG_OK) return status;
  open_ = false;
  *slot_ = nullptr;
  --driver_->open_instances_;
  driver_->fg_class_.instances_num = driver_->open_instances_;
  return status;
}

}  // namespace hostlayer
