// Host parameter values and texts drawn from fuzz input: every type code,
// every bit pattern of a double, null texts, texts with bytes of any value
// and texts of up to a mebibyte.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <deque>
#include <string>

#include "host.h"

namespace hacq_fuzz {

class ValueMaker {
 public:
  explicit ValueMaker(FuzzedDataProvider& data) : data_(data) {}

  // A text: short, filling a record field, or huge.  Embedded NULs end it
  // early, as they would for the host.
  std::string Text();
  // A ParamValue; texts it points at live as long as this maker.
  ParamValue Value();
  // A text kept alive by this maker (null when the input asks for it).
  char* KeptText();

 private:
  FuzzedDataProvider& data_;
  std::deque<std::string> texts_;  // a deque: elements never move
};

}  // namespace hacq_fuzz
