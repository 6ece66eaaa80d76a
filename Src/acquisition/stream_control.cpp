#include "acquisition/stream_control.h"

Herror StartGrabbing(GENICAM_StreamSource* stream) {
  return stream->startGrabbing(stream, 0, SDK_GRAB_STRATEGY_ONE_BY_ONE) == SDK_OK ? H_MSG_OK
                                                                                  : H_ERR_FGDV;
}

Herror StopGrabbing(GENICAM_StreamSource* stream) {
  return stream->stopGrabbing(stream) == SDK_OK ? H_MSG_OK : H_ERR_FGDV;
}
