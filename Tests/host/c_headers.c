/* Compiled as C: the boundary headers must stay valid C. */
#include "camera_sdk.h"
#include "conversion.h"
#include "host.h"
#include "platform.h"

int host_c_headers_record_sizes(void);

int host_c_headers_record_sizes(void) {
  FGClass fg_class;
  ParamValue value;
  (void)fg_class;
  value.type = PV_STRING;
  return (int)(sizeof(FGInstance) + sizeof(Himage)) + value.type;
}
