// The eleven operations FGInit installs in the host's table, in slot order.
// Every one is noexcept: nothing throws across the host's C boundary.
#pragma once

#include "host.h"

// Slot 1: a free instance record for a new open; null when none is free.
FGInstance** FGOpenRequest(Hproc_handle proc_id, FGInstance* fginst) noexcept;
// Slots 2, 3: open and close one instance.
Herror FGOpen(Hproc_handle proc_id, FGInstance* fginst) noexcept;
Herror FGClose(Hproc_handle proc_id, FGInstance* fginst) noexcept;
// Slots 4 to 8: grabs.
Herror FGGrab(Hproc_handle proc_id, FGInstance* fginst, Himage* image,
              int32_t* num_image) noexcept;
Herror FGGrabStartAsync(Hproc_handle proc_id, FGInstance* fginst, double max_delay) noexcept;
Herror FGGrabAsync(Hproc_handle proc_id, FGInstance* fginst, double max_delay, Himage* image,
                   int32_t* num_image) noexcept;
Herror FGGrabData(Hproc_handle proc_id, FGInstance* fginst, void* images, void* regions,
                  void* contours, void* data) noexcept;
Herror FGGrabDataAsync(Hproc_handle proc_id, FGInstance* fginst, double max_delay, void* images,
                       void* regions, void* contours, void* data) noexcept;
// Slot 9: information queries.
Herror FGInfo(Hproc_handle proc_id, int32_t query, const char** info, ParamValue** values,
              int32_t* num_values) noexcept;
// Slots 10, 11: parameters.
Herror FGSetParam(Hproc_handle proc_id, FGInstance* fginst, const char* name,
                  const ParamValue* value) noexcept;
Herror FGGetParam(Hproc_handle proc_id, FGInstance* fginst, const char* name, ParamValue* value,
                  int32_t* num_value) noexcept;
