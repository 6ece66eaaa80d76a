// The host's information queries about the interface as a whole.  They
// read the camera table, which FGInit filled and nothing changes
// afterwards.
#include <cstdio>
#include <cstring>

#include "base/contract_texts.h"
#include "base/guarded_call.h"
#include "base/interface_state.h"
#include "base/text_match.h"
#include "parameters/host_value_list.h"
#include "parameters/parameter_catalogue.h"
#include "parameters/parameter_operations.h"

namespace {

constexpr ListedValue kPorts[] = {{PV_INTEGER, 0, nullptr},
                                  {PV_INTEGER, 1, nullptr},
                                  {PV_INTEGER, 2, nullptr},
                                  {PV_INTEGER, 3, nullptr}};
constexpr ListedValue kCameraTypes[] = {
    {PV_STRING, 0, "ntsc"}, {PV_STRING, 0, "pal"}, {PV_STRING, 0, contract::kCameraTypeAuto}};
constexpr ListedValue kRevision[] = {{PV_STRING, 0, kRevisionText}};
constexpr ListedValue kFields[] = {{PV_STRING, 0, "interlaced"}, {PV_STRING, 0, "progressive"}};
constexpr ListedValue kBitsPerChannel[] = {{PV_INTEGER, 8, nullptr}};
constexpr ListedValue kColorSpaces[] = {{PV_STRING, 0, contract::kWordDefault},
                                        {PV_STRING, 0, contract::kColourGray},
                                        {PV_STRING, 0, contract::kColourRgb}};
constexpr ListedValue kDevices[] = {{PV_STRING, 0, contract::kWordDefault},
                                    {PV_STRING, 0, contract::kFirstDevice},
                                    {PV_STRING, 0, "1"}};
constexpr ListedValue kResolution[] = {{PV_INTEGER, 1, nullptr}};

// "device:<name or key> port:<index>", cut to kTextLen - 1 characters.
void FormatBoard(uint32_t index, char (&text)[kTextLen]) {
  const CameraEntry& camera = camera_table[index];
  const StrippedText stripped = StripSpaces(camera.name);
  const char* device = camera.name[0] != '\0' ? stripped.text : camera.key;
  std::memset(text, 0, sizeof text);
  // Bounded twice: the device text by its field, the result by the buffer.
  const int device_length = static_cast<int>(strnlen(device, kTextLen - 1));
  std::snprintf(text, sizeof text, contract::kBoardFormat, device_length, device,
                static_cast<int>(index));
}

Herror AnswerBoards(Hproc_handle proc_id, ParamValue** values, int32_t* num_values) {
  const uint32_t cameras = gs_cameraCntDiscovery < static_cast<uint32_t>(kMaxCameras)
                               ? gs_cameraCntDiscovery
                               : static_cast<uint32_t>(kMaxCameras);
  char text[kTextLen];
  size_t text_bytes = 0;
  for (uint32_t i = 0; i < cameras; ++i) {
    FormatBoard(i, text);
    text_bytes += std::strlen(text) + 1;
  }
  HostValueList list(proc_id);
  const Herror err = list.Allocate(static_cast<int32_t>(cameras), text_bytes);
  if (err != H_MSG_OK) return err;
  for (uint32_t i = 0; i < cameras; ++i) {
    FormatBoard(i, text);
    list.AddText(text);
  }
  list.HandOver(values, num_values);
  return H_MSG_OK;
}

template <size_t N>
std::span<const ListedValue> ListOf(const ListedValue (&items)[N]) {
  return std::span<const ListedValue>(items, N);
}

}  // namespace

Herror AnswerInfoQuery(Hproc_handle proc_id, int32_t query, const char** info, ParamValue** values,
                       int32_t* num_values) {
  if (info == nullptr || values == nullptr || num_values == nullptr) return H_ERR_FGPARV;
  *values = nullptr;
  *num_values = 0;
  switch (query) {
    case 0:
      *info = "Value list for port parameter.";
      return AnswerList(proc_id, ListOf(kPorts), values, num_values);
    case 1:
      *info = "Value list for camera type parameter.";
      return AnswerList(proc_id, ListOf(kCameraTypes), values, num_values);
    case 2:
      *info = "HALCON image acquisition interface template.";
      return H_MSG_OK;
    case 3:
      *info = "Default values (as used for open_framegrabber).";
      return HCALL(contract::kGetDefaults, HFgGetDefaults(proc_id, fg_class, values, num_values));
    case 4:
      *info = "Additional parameters for this image acquisition interface.";
      return AnswerNameList(proc_id, kAdditionalParameters, FG_PARAM_NUM, values, num_values);
    case 5:
      *info = "Info about installed xy boards.";
      return AnswerBoards(proc_id, values, num_values);
    case 6:
      *info = "Current interface revision.";
      return AnswerList(proc_id, ListOf(kRevision), values, num_values);
    case 8:
      *info = "Value list for field parameter.";
      return AnswerList(proc_id, ListOf(kFields), values, num_values);
    case 9:
      *info = "Value list for bits per channel parameter.";
      return AnswerList(proc_id, ListOf(kBitsPerChannel), values, num_values);
    case 10:
      *info = "Value list for color space parameter.";
      return AnswerList(proc_id, ListOf(kColorSpaces), values, num_values);
    case 12:
      *info = "Value list for device parameter.";
      return AnswerList(proc_id, ListOf(kDevices), values, num_values);
    case 13:
      *info = "Additional read-only parameters for this interface.";
      return AnswerNameList(proc_id, kReadOnlyParameters,
                            static_cast<int32_t>(kReadOnlyParameters.size()), values, num_values);
    case 14:
      *info = "Additional write-only parameters for this interface.";
      return AnswerNameList(proc_id, kWriteOnlyParameters,
                            static_cast<int32_t>(kWriteOnlyParameters.size()), values, num_values);
    case 19:
      *info = "Value list for horizontal resolution parameter.";
      return AnswerList(proc_id, ListOf(kResolution), values, num_values);
    case 20:
      *info = "Value list for vertical resolution parameter.";
      return AnswerList(proc_id, ListOf(kResolution), values, num_values);
    default:
      *info = "Unsupported query!";
      return H_MSG_OK;
  }
}
