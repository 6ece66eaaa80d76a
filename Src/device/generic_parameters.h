// The generic open parameters: texts of the form "num_buffers=<n>".
#pragma once

#include <cstdint>

#include "bindings/host.h"

// Reads fginst.generic into *num_buffers (left alone when no value sets
// it).  A single integer -1 or float -1.0 means no generic parameters.
// Errors: H_ERR_FGPART for a value that is not a string, H_ERR_FGPARAM for
// a text without "num_buffers", H_ERR_FGPARV for a missing "=" or a value
// outside 2 to 5.  Each error's message goes to IOPrintErrorMessage while
// HDoLowError is set.
Herror ParseGenericParameters(const FGInstance& fginst, int32_t* num_buffers);
