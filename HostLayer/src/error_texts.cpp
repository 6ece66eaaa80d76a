// The host's texts for error codes, in its own words.
#include <string>

#include "hostlayer/host_control.h"
#include "hostlayer/host_driver.h"

namespace hostlayer {
namespace {

struct ErrorEntry {
  Herror code;
  const char* text;
};

constexpr ErrorEntry kErrorTexts[] = {
    {H_MSG_OK, "No error"},
    {3, "Image acquisition: interface could not be initialised"},
    {H_ERR_FGTRIGGER, "Image acquisition: trigger request refused by the device"},
    {H_ERR_FGWB, "Image acquisition: unsupported number of bits per channel"},
    {H_ERR_FGDV, "Image acquisition: device not found or not working"},
    {H_ERR_FGTIMEOUT, "Image acquisition: timeout, no image received"},
    {H_ERR_FGWR, "Image acquisition: unsupported resolution"},
    {H_ERR_FGWP, "Image acquisition: image part outside the image"},
    {H_ERR_FGEXTTRIG, "Image acquisition: external trigger not supported"},
    {H_ERR_FGLINE, "Image acquisition: unsupported input line"},
    {H_ERR_FGCS, "Image acquisition: unsupported color space"},
    {H_ERR_FGPORT, "Image acquisition: unsupported port"},
    {H_ERR_FGDEVBUSY, "Image acquisition: device is already in use"},
    {H_ERR_FGPARAM, "Image acquisition: unknown parameter name"},
    {H_ERR_FGFIELD, "Image acquisition: unsupported field mode"},
    {H_ERR_FGPART, "Image acquisition: parameter value has the wrong type"},
    {H_ERR_FGPARV, "Image acquisition: parameter value out of range or missing"},
    {H_ERR_FGNOTSUP, "Image acquisition: function not supported"},
    {H_ERR_FGBUSY, "Image acquisition: device is busy grabbing"},
    {H_ERR_FGPARNUM, "Image acquisition: wrong number of parameter values"},
    {kErrNoMemory, "Host: not enough memory"},
    {kErrNotHostBlock, "Host: memory block was not allocated by the host"},
    {kErrBadArgument, "Host: invalid argument"},
    {kErrMutexState, "Host: mutex not initialised, busy or held by another thread"},
    {kErrUnknownVariable, "Host: unknown global variable or access mode"},
    {kErrNotLoaded, "Host: acquisition interface not loaded or not initialised"},
    {kErrNoInstanceSlot, "Host: no free instance slot for the acquisition interface"},
    {kErrInstancesOpen, "Host: acquisition instances are still open"},
    {kErrInstanceClosed, "Host: acquisition instance is closed"},
    {kErrBadAnswer, "Host: acquisition interface returned an invalid answer"},
};

}  // namespace

std::string Driver::ErrorText(Herror code) {
  for (const ErrorEntry& entry : kErrorTexts) {
    if (entry.code == code) return entry.text;
  }
  return "Unknown error " + std::to_string(code);
}

}  // namespace hostlayer
