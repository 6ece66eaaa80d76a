#include "parameters/parameter_catalogue.h"

#include <cstring>

#include "base/contract_texts.h"
#include "base/text_match.h"

namespace {

constexpr ListedValue kBitsPerChannelValues[] = {{PV_INTEGER, 8, nullptr}};
constexpr ListedValue kActionValues[] = {{PV_INTEGER, 1, nullptr}};
// Position = the flag value a set stores.
constexpr ListedValue kSwitchValues[] = {{PV_STRING, 0, "disable"}, {PV_STRING, 0, "enable"}};
constexpr ListedValue kBoolValues[] = {{PV_STRING, 0, "False"}, {PV_STRING, 0, "True"}};
constexpr ListedValue kTriggerModeValues[] = {{PV_STRING, 0, contract::kTriggerContinuous},
                                              {PV_STRING, 0, contract::kTriggerSoftware},
                                              {PV_STRING, 0, contract::kTriggerLine}};

constexpr std::array<int64_t, 4> kNoRange = {0, 0, 0, 0};
constexpr std::array<int64_t, 4> kGrabTimeoutRange = {1, 32767, 1, 5000};

constexpr char kImageFormatControl[] = "ImageFormatControl";
constexpr char kAcquisitionControl[] = "AcquisitionControl";
constexpr char kAnalogControl[] = "AnalogControl";

using K = ValueKind;
using H = Handling;

// One parameter per row, its fields in declaration order.
// clang-format off
constexpr std::array<CatalogueEntry, kParameterCount> kEntries = {{
    {ParamId::grab_timeout, "grab_timeout", K::kInteger, K::kInteger, H::kInterfaceInteger,
     {.integer = &InstanceRecord::grab_timeout}, {}, ValuesKind::kNone, {}, RangeKind::kFixed,
     kGrabTimeoutRange,
     "Specifies the desired timeout for aborting a pending grab in milliseconds", nullptr},
    {ParamId::num_buffers, "num_buffers", K::kNone, K::kInteger, H::kBufferCount,
     {.count = &InstanceRecord::num_buffers}, {}, ValuesKind::kNone, {}, RangeKind::kNone,
     kNoRange, "Current number of image buffers", nullptr},
    {ParamId::revision, "revision", K::kNone, K::kString, H::kRevision, {}, {}, ValuesKind::kNone,
     {}, RangeKind::kNone, kNoRange, "Current interface revision", nullptr},
    {ParamId::start_async_after_grab_async, "start_async_after_grab_async", K::kString, K::kString,
     H::kInterfaceSwitch, {.on_off = &InstanceRecord::start_async_after_grab_async}, {},
     ValuesKind::kFixed, kSwitchValues, RangeKind::kNone, kNoRange,
     "Specifies if at the end of 'grab_image_async' a new async grab command is called "
     "automatically",
     nullptr},
    {ParamId::volatile_mode, "volatile", K::kString, K::kString, H::kVolatile,
     {.on_off = &InstanceRecord::volatile_mode}, {}, ValuesKind::kFixed, kSwitchValues,
     RangeKind::kNone, kNoRange,
     "In volatile mode the interface buffers are used directly to store the grabbed images",
     nullptr},
    {ParamId::bits_per_channel, "bits_per_channel", K::kInteger, K::kNone, H::kBitsPerChannel,
     {.host = &FGInstance::bits_per_channel}, {}, ValuesKind::kFixed, kBitsPerChannelValues,
     RangeKind::kNone, kNoRange, "Specifies the desired bits per channel in the HALCON image",
     nullptr},
    {ParamId::horizontal_resolution, "horizontal_resolution", K::kInteger, K::kNone,
     H::kResolution,
     {.host = &FGInstance::horizontal_resolution,
      .image_size = &FGInstance::image_width,
      .other_image_size = &FGInstance::image_height},
     {.integer = kWidthNode}, ValuesKind::kNone, {}, RangeKind::kNone, kNoRange,
     "Specifies the horizontal image resolution", nullptr},
    {ParamId::vertical_resolution, "vertical_resolution", K::kInteger, K::kNone, H::kResolution,
     {.host = &FGInstance::vertical_resolution,
      .image_size = &FGInstance::image_height,
      .other_image_size = &FGInstance::image_width},
     {.integer = kHeightNode}, ValuesKind::kNone, {}, RangeKind::kNone, kNoRange,
     "Specifies the vertical image resolution", nullptr},
    {ParamId::do_abort_grab, "do_abort_grab", K::kAny, K::kNone, H::kAbort, {}, {},
     ValuesKind::kFixed, kActionValues, RangeKind::kNone, kNoRange, "Aborts the current grab",
     nullptr},
    {ParamId::do_TriggerSoftware, "do_TriggerSoftware", K::kAny, K::kNone, H::kSoftwareTrigger,
     {}, {}, ValuesKind::kFixed, kActionValues, RangeKind::kNone, kNoRange, "trigger software=",
     kAcquisitionControl},
    {ParamId::TriggerMode, "TriggerMode", K::kString, K::kString, H::kTriggerMode,
     {.text = &InstanceRecord::TriggerMode}, {}, ValuesKind::kFixed, kTriggerModeValues,
     RangeKind::kNone, kNoRange, "Set camera acquisition mode", kAcquisitionControl},
    {ParamId::ReverseX, "ReverseX", K::kString, K::kString, H::kBoolFeature,
     {.flag = &InstanceRecord::ReverseX}, {.boolean = kReverseXNode}, ValuesKind::kFixed,
     kBoolValues, RangeKind::kNone, kNoRange,
     "Specifies if you want to reverse the image in x coordinate", kImageFormatControl},
    {ParamId::ReverseY, "ReverseY", K::kString, K::kString, H::kBoolFeature,
     {.flag = &InstanceRecord::ReverseY}, {.boolean = kReverseYNode}, ValuesKind::kFixed,
     kBoolValues, RangeKind::kNone, kNoRange,
     "Specifies if you want to reverse the image in y coordinate", kImageFormatControl},
    {ParamId::PixelFormat, "PixelFormat", K::kString, K::kString, H::kPixelFormat, {}, {},
     ValuesKind::kPixelFormats, {}, RangeKind::kNone, kNoRange,
     "Specifies the desired pixel format", kImageFormatControl},
    {ParamId::DeviceUserID, "DeviceUserID", K::kString, K::kString, H::kDeviceUserID,
     {.text = &InstanceRecord::DeviceUserID}, {}, ValuesKind::kEmpty, {}, RangeKind::kNone,
     kNoRange, "User-programmable device identifier", "DeviceControl"},
    {ParamId::ExposureTime, "ExposureTime", K::kFloat, K::kFloat, H::kFloatFeature,
     {.real = &InstanceRecord::ExposureTime}, {.real = kExposureTimeNode}, ValuesKind::kNone, {},
     RangeKind::kFloatFeature, kNoRange, "Specifies the desired exposure time",
     kAcquisitionControl},
    {ParamId::AcquisitionFrameRate, "AcquisitionFrameRate", K::kFloat, K::kFloat,
     H::kFloatFeature, {.real = &InstanceRecord::AcquisitionFrameRate},
     {.real = kAcquisitionFrameRateNode}, ValuesKind::kNone, {}, RangeKind::kFloatFeature,
     kNoRange, "Specifies the desired acquisition frame rate", kAcquisitionControl},
    {ParamId::AcquisitionFrameRateEnable, "AcquisitionFrameRateEnable", K::kString, K::kString,
     H::kBoolFeature, {.flag = &InstanceRecord::AcquisitionFrameRateEnable},
     {.boolean = kAcquisitionFrameRateEnableNode}, ValuesKind::kFixed, kBoolValues,
     RangeKind::kNone, kNoRange, "Specifies if you want to enable the acquisition frame rate",
     kAcquisitionControl},
    {ParamId::GainRaw, "GainRaw", K::kFloat, K::kFloat, H::kFloatFeature,
     {.real = &InstanceRecord::GainRaw}, {.real = kGainRawNode}, ValuesKind::kNone, {},
     RangeKind::kFloatFeature, kNoRange, "Specifies the desired gain raw", kAnalogControl},
    {ParamId::Gamma, "Gamma", K::kFloat, K::kFloat, H::kFloatFeature,
     {.real = &InstanceRecord::Gamma}, {.real = kGammaNode}, ValuesKind::kNone, {},
     RangeKind::kFloatFeature, kNoRange, "Specifies the desired Gamma", kAnalogControl},
    {ParamId::Contrast, "Contrast", K::kInteger, K::kInteger, H::kIntFeature,
     {.integer = &InstanceRecord::Contrast}, {.integer = kContrastNode}, ValuesKind::kNone, {},
     RangeKind::kIntFeature, kNoRange, "Specifies the desired contrast", "ISPControl"},
    {ParamId::Width, "Width", K::kInteger, K::kInteger, H::kIntFeature,
     {.integer = &InstanceRecord::Width,
      .image_size = &FGInstance::image_width,
      .other_image_size = &FGInstance::image_height},
     {.integer = kWidthNode}, ValuesKind::kNone, {}, RangeKind::kIntFeature, kNoRange,
     "Specifies the desired width", kImageFormatControl},
    {ParamId::Height, "Height", K::kInteger, K::kInteger, H::kIntFeature,
     {.integer = &InstanceRecord::Height,
      .image_size = &FGInstance::image_height,
      .other_image_size = &FGInstance::image_width},
     {.integer = kHeightNode}, ValuesKind::kNone, {}, RangeKind::kIntFeature, kNoRange,
     "Specifies the desired height", kImageFormatControl},
}};
// clang-format on

constexpr bool IndexedById() {
  for (size_t i = 0; i < kEntries.size(); ++i) {
    if (static_cast<size_t>(kEntries[i].id) != i) return false;
  }
  return true;
}
static_assert(IndexedById(), "EntryOf indexes the table by ParamId");

bool HasQuery(const CatalogueEntry& entry, Query query) {
  switch (query) {
    case Query::kValue:
      return true;
    case Query::kValues:
      return entry.values_kind != ValuesKind::kNone;
    case Query::kRange:
      return entry.range_kind != RangeKind::kNone;
    case Query::kDescription:
      return entry.description != nullptr;
    case Query::kCategory:
      return entry.category != nullptr;
  }
  return false;
}

struct Suffix {
  const char* text;
  Query query;
};
constexpr Suffix kSuffixes[] = {{"", Query::kValue},
                                {"_values", Query::kValues},
                                {"_range", Query::kRange},
                                {"_description", Query::kDescription},
                                {"_category", Query::kCategory}};

// The rest of `text` after `prefix`, or null when `text` does not start
// with it (ASCII case-insensitive).
const char* AfterPrefix(const char* text, const char* prefix) {
  for (; *prefix != '\0'; ++text, ++prefix) {
    unsigned char a = static_cast<unsigned char>(*text);
    unsigned char b = static_cast<unsigned char>(*prefix);
    if (a >= 'A' && a <= 'Z') a = static_cast<unsigned char>(a - 'A' + 'a');
    if (b >= 'A' && b <= 'Z') b = static_cast<unsigned char>(b - 'A' + 'a');
    if (a != b) return nullptr;  // also stops at the end of text
  }
  return text;
}

}  // namespace

const std::array<ParamId, FG_PARAM_NUM> kAdditionalParameters = {
    ParamId::Width,
    ParamId::Height,
    ParamId::ReverseX,
    ParamId::ReverseY,
    ParamId::PixelFormat,
    ParamId::AcquisitionFrameRate,
    ParamId::AcquisitionFrameRateEnable,
    ParamId::TriggerMode,
    ParamId::ExposureTime,
    ParamId::do_TriggerSoftware,
    ParamId::DeviceUserID,
    ParamId::GainRaw,
    ParamId::Gamma,
    ParamId::Contrast,
    ParamId::do_abort_grab};
const std::array<ParamId, 2> kReadOnlyParameters = {ParamId::num_buffers, ParamId::revision};
const std::array<ParamId, 2> kWriteOnlyParameters = {ParamId::do_abort_grab,
                                                     ParamId::do_TriggerSoftware};

Lookup FindParameter(const char* name) {
  if (name == nullptr) return {nullptr, Query::kValue};
  for (const CatalogueEntry& entry : kEntries) {
    const char* rest = AfterPrefix(name, entry.name);
    if (rest == nullptr) continue;
    // A name may also be the start of a longer one (AcquisitionFrameRate),
    // so a rest that is no suffix of this entry goes on to the next entry.
    for (const Suffix& suffix : kSuffixes) {
      if (EqualsIgnoreCase(rest, suffix.text) && HasQuery(entry, suffix.query)) {
        return {&entry, suffix.query};
      }
    }
  }
  return {nullptr, Query::kValue};
}

const CatalogueEntry& EntryOf(ParamId id) {
  return kEntries[static_cast<size_t>(id)];
}

int32_t PositionInValues(const CatalogueEntry& entry, const char* text) {
  if (entry.values_kind != ValuesKind::kFixed || text == nullptr) return -1;
  for (size_t i = 0; i < entry.values.size(); ++i) {
    const ListedValue& value = entry.values[i];
    if (value.type == PV_STRING && EqualsIgnoreCase(text, value.text)) {
      return static_cast<int32_t>(i);
    }
  }
  return -1;
}
