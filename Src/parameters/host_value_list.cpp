#include "parameters/host_value_list.h"

#include <cstdio>
#include <cstring>

#include "base/contract_texts.h"
#include "base/guarded_call.h"

HostValueList::~HostValueList() {
  if (block_ != nullptr) {
    HostFree(proc_id_, block_, contract::kFreeValues, __LINE__);
  }
}

Herror HostValueList::Allocate(int32_t count, size_t text_bytes) {
  if (count <= 0) return H_MSG_OK;
  const size_t array_bytes = static_cast<size_t>(count) * sizeof(ParamValue);
  void* block = nullptr;
  const Herror err =
      HostAlloc(proc_id_, array_bytes + text_bytes, &block, contract::kAllocValues, __LINE__);
  if (err != H_MSG_OK) return err;
  block_ = static_cast<unsigned char*>(block);
  capacity_ = count;
  text_capacity_ = text_bytes;
  return H_MSG_OK;
}

bool HostValueList::AddInteger(int64_t value) {
  if (filled_ >= capacity_) return false;
  ParamValue* values = reinterpret_cast<ParamValue*>(block_);
  values[filled_].par.l = value;
  values[filled_].type = PV_INTEGER;
  ++filled_;
  return true;
}

bool HostValueList::AddText(const char* text) {
  if (filled_ >= capacity_ || text == nullptr) return false;
  const size_t bytes = std::strlen(text) + 1;
  if (bytes > text_capacity_ - text_used_) return false;
  char* place = reinterpret_cast<char*>(
      block_ + static_cast<size_t>(capacity_) * sizeof(ParamValue) + text_used_);
  std::memcpy(place, text, bytes);
  text_used_ += bytes;
  ParamValue* values = reinterpret_cast<ParamValue*>(block_);
  values[filled_].par.s = place;
  values[filled_].type = PV_STRING;
  ++filled_;
  return true;
}

void HostValueList::HandOver(ParamValue** values, int32_t* num_values) {
  *values = reinterpret_cast<ParamValue*>(block_);
  *num_values = filled_;
  block_ = nullptr;
}

Herror AnswerList(Hproc_handle proc_id, std::span<const ListedValue> items, ParamValue** values,
                  int32_t* num_values) {
  size_t text_bytes = 0;
  for (const ListedValue& item : items) {
    if (item.type == PV_STRING) text_bytes += std::strlen(item.text) + 1;
  }
  HostValueList list(proc_id);
  const Herror err = list.Allocate(static_cast<int32_t>(items.size()), text_bytes);
  if (err != H_MSG_OK) return err;
  for (const ListedValue& item : items) {
    if (item.type == PV_STRING) {
      list.AddText(item.text);
    } else {
      list.AddInteger(item.integer);
    }
  }
  list.HandOver(values, num_values);
  return H_MSG_OK;
}

Herror AnswerNameList(Hproc_handle proc_id, std::span<const ParamId> ids, int32_t expected,
                      ParamValue** values, int32_t* num_values) {
  ListedValue names[kParameterCount];
  int32_t count = 0;
  for (ParamId id : ids) {
    if (count == kParameterCount) break;  // more ids than names exist: the count check refuses it
    names[count++] = {PV_STRING, 0, EntryOf(id).name};
  }
  if (count != expected || ids.size() != static_cast<size_t>(count)) {
    if (HDoLowError) {
      char message[128];
      std::snprintf(message, sizeof message, contract::kNameCountFormat,
                    static_cast<int>(ids.size()), static_cast<int>(expected));
      IOPrintErrorMessage(message);
    }
    return H_ERR_FGPARNUM;
  }
  return AnswerList(proc_id, std::span<const ListedValue>(names, static_cast<size_t>(count)),
                    values, num_values);
}
