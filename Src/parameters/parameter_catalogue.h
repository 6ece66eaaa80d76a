// The interface's parameter vocabulary: one table that the set request, the
// read request and the information queries all read.  A parameter is added
// or changed here and nowhere else.  The table is constant and thread-safe.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "base/records.h"
#include "bindings/host.h"
#include "parameters/camera_features.h"

enum class ParamId : uint8_t {
  grab_timeout,
  num_buffers,
  revision,
  start_async_after_grab_async,
  volatile_mode,
  bits_per_channel,
  horizontal_resolution,
  vertical_resolution,
  do_abort_grab,
  do_TriggerSoftware,
  TriggerMode,
  ReverseX,
  ReverseY,
  PixelFormat,
  DeviceUserID,
  ExposureTime,
  AcquisitionFrameRate,
  AcquisitionFrameRateEnable,
  GainRaw,
  Gamma,
  Contrast,
  Width,
  Height,
};
inline constexpr int kParameterCount = 23;

// Value kinds as ParamValue type codes; kNone: refused, kAny: the action
// parameters, which read no value at all.
enum class ValueKind : int32_t {
  kNone = 0,
  kInteger = PV_INTEGER,
  kFloat = PV_FLOAT,
  kString = PV_STRING,
  kAny = -1,
};

// What a set request does and a read request answers for the parameter.
enum class Handling : uint8_t {
  kInterfaceInteger,  // instance field, stored as given
  kBufferCount,       // fixed at open
  kRevision,          // constant text
  kInterfaceSwitch,   // instance flag, "disable"/"enable"
  kVolatile,          // instance flag plus the buffer arrangement
  kBitsPerChannel,
  kResolution,  // host resolution and image size, bounded by the sensor
  kAbort,
  kSoftwareTrigger,
  kTriggerMode,
  kBoolFeature,  // "False"/"True", camera written only on a change
  kPixelFormat,
  kDeviceUserID,
  kFloatFeature,
  kIntFeature,  // reduced to the camera's increment
};

// Where the value lives.  Only the members that the handling uses are set.
struct Storage {
  int64_t InstanceRecord::*integer = nullptr;
  int32_t InstanceRecord::*count = nullptr;
  double InstanceRecord::*real = nullptr;
  int32_t InstanceRecord::*flag = nullptr;  // 0 or 1
  bool InstanceRecord::*on_off = nullptr;
  char (InstanceRecord::*text)[kTextLen] = nullptr;
  int32_t FGInstance::*host = nullptr;
  // The image size that the parameter also sets, and the other image
  // dimension (together they must fit the frame buffers).
  int32_t FGInstance::*image_size = nullptr;
  int32_t FGInstance::*other_image_size = nullptr;
};

// The camera feature the parameter writes, or, for the resolutions, whose
// maximum bounds it.
struct Feature {
  FloatFeature real = nullptr;
  IntFeature integer = nullptr;
  BoolFeature boolean = nullptr;
};

// One value of a fixed list.
struct ListedValue {
  int32_t type;  // PV_INTEGER or PV_STRING
  int64_t integer;
  const char* text;
};

enum class ValuesKind : uint8_t {
  kNone,          // no _values query
  kFixed,         // the entry's list; for the word parameters also the
                  // accepted set values, the position being the value
  kPixelFormats,  // the instance's pixel-format list
  kEmpty,         // answered with no values
};

enum class RangeKind : uint8_t { kNone, kFixed, kFloatFeature, kIntFeature };

struct CatalogueEntry {
  ParamId id;
  const char* name;
  ValueKind set_kind;   // kNone: not settable
  ValueKind read_kind;  // kNone: the plain name cannot be read
  Handling handling;
  Storage storage;
  Feature feature;
  ValuesKind values_kind;
  std::span<const ListedValue> values;
  RangeKind range_kind;
  std::array<int64_t, 4> fixed_range;  // minimum, maximum, step, default
  const char* description;
  const char* category;  // null: no _category query
};

// What a name asks for: the parameter itself or one of its metadata.
enum class Query : uint8_t { kValue, kValues, kRange, kDescription, kCategory };

struct Lookup {
  const CatalogueEntry* entry;  // null: not recognised
  Query query;
};

// Whole-name, ASCII case-insensitive match against the plain names and
// the metadata names that exist (a suffix the parameter lacks is not
// recognised).
Lookup FindParameter(const char* name);
const CatalogueEntry& EntryOf(ParamId id);

// Position of `text` in the entry's fixed list (ASCII case-insensitive),
// or -1.
int32_t PositionInValues(const CatalogueEntry& entry, const char* text);

// The three published lists, in their published order.
inline constexpr int32_t FG_PARAM_NUM = 15;
extern const std::array<ParamId, FG_PARAM_NUM> kAdditionalParameters;
extern const std::array<ParamId, 2> kReadOnlyParameters;
extern const std::array<ParamId, 2> kWriteOnlyParameters;

inline constexpr char kRevisionText[] = "5.x";
