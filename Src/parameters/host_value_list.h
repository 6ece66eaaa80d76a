// Answer lists of the information queries.  A list is ONE block from the
// host allocator holding the ParamValue array followed by the texts its
// values point at, so the host releases the whole answer with one HXFree.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "bindings/host.h"
#include "parameters/parameter_catalogue.h"

// Fills a list value by value.  Allocate once with the final count and the
// bytes of all texts (terminators included); a list not handed over is
// freed when this goes out of scope.
class HostValueList {
 public:
  explicit HostValueList(Hproc_handle proc_id) : proc_id_(proc_id) {}
  ~HostValueList();
  HostValueList(const HostValueList&) = delete;
  HostValueList& operator=(const HostValueList&) = delete;

  // Guarded host allocation; a count of 0 allocates nothing.
  Herror Allocate(int32_t count, size_t text_bytes);
  // Each returns false when the value or text does not fit what was
  // allocated; nothing is written then.
  bool AddInteger(int64_t value);
  bool AddText(const char* text);
  // Hands the block (null when empty) and the number of values filled to
  // the caller, who owns it from then on.
  void HandOver(ParamValue** values, int32_t* num_values);

 private:
  Hproc_handle proc_id_;
  unsigned char* block_ = nullptr;
  int32_t capacity_ = 0;
  int32_t filled_ = 0;
  size_t text_used_ = 0;
  size_t text_capacity_ = 0;
};

// A fixed list as one host block.
Herror AnswerList(Hproc_handle proc_id, std::span<const ListedValue> items, ParamValue** values,
                  int32_t* num_values);

// The names of `ids` as one host block.  The names are appended and
// counted; a count other than `expected` is refused with H_ERR_FGPARNUM
// (the message goes to the host's error printing while HDoLowError is set)
// and no list is returned.
Herror AnswerNameList(Hproc_handle proc_id, std::span<const ParamId> ids, int32_t expected,
                      ParamValue** values, int32_t* num_values);
