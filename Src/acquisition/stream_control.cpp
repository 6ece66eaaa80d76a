#include "stream_control.h"

int32_t StartGrabbing(GENICAM_StreamSource* stream) {
  return stream->startGrabbing(stream, 0, SDK_GRAB_STRATEGY_ONE_BY_ONE) == SDK_OK ? 0 : -1;
}

int32_t StopGrabbing(GENICAM_StreamSource* stream) {
  return stream->stopGrabbing(stream) == SDK_OK ? 0 : -1;
}
