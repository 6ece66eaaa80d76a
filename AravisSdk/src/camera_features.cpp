// A camera's features by GenICam name, through Aravis's feature calls.
// Every call looks the feature up again; nothing of Aravis's is kept
// beyond it.  Texts that Aravis hands out are overwritten by its next
// read, so they are copied at once.
#include <algorithm>
#include <cmath>
#include <string_view>

#include "aravis_camera.h"

namespace arvsdk {
namespace {

using sdkabi::NumberPart;

// Features that change the size or layout of the frames, or how they
// travel: the stream's buffers are sized for them at its start.
bool LockedWhileGrabbing(std::string_view name) {
  return name == "Width" || name == "Height" || name == "PixelFormat" ||
         name == "GevSCPSPacketSize" || name == "DeviceStreamChannelPacketSize";
}

bool ReadInteger(ArvDevice* device, const char* name, NumberPart part, int64_t& value,
                 GError** error) {
  gint64 read = 0;
  gint64 min = 0;
  gint64 max = 0;
  switch (part) {
    case NumberPart::Value:
      read = arv_device_get_integer_feature_value(device, name, error);
      break;
    case NumberPart::Min:
    case NumberPart::Max:
      arv_device_get_integer_feature_bounds(device, name, &min, &max, error);
      read = part == NumberPart::Min ? min : max;
      break;
    case NumberPart::Increment:
      read = arv_device_get_integer_feature_increment(device, name, error);
      break;
  }
  if (*error) return false;
  value = read;
  return true;
}

// Aravis checks an integer's range but not its increment.
bool WriteInteger(ArvDevice* device, const char* name, int64_t value, GError** error) {
  gint64 min = 0;
  gint64 max = 0;
  arv_device_get_integer_feature_bounds(device, name, &min, &max, error);
  if (*error) return false;
  const gint64 increment = arv_device_get_integer_feature_increment(device, name, error);
  if (*error || value < min || value > max) return false;
  // The distance from the minimum in unsigned arithmetic: it may not fit
  // a signed one.
  const auto distance = static_cast<uint64_t>(value) - static_cast<uint64_t>(min);
  if (increment > 1 && distance % static_cast<uint64_t>(increment) != 0) return false;
  arv_device_set_integer_feature_value(device, name, value, error);
  return *error == nullptr;
}

// A string or enumeration feature's text, copied before Aravis's next
// read overwrites it.
bool ReadText(ArvDevice* device, const char* name, std::string& text, GError** error) {
  const char* read = arv_device_get_string_feature_value(device, name, error);
  if (*error || !read) return false;
  text = read;
  return true;
}

// The symbols an enumeration offers now.
bool OfferedSymbols(ArvDevice* device, const char* name, std::vector<std::string>& symbols,
                    GError** error) {
  guint count = 0;
  const char** offered =
      arv_device_dup_available_enumeration_feature_values_as_strings(device, name, &count, error);
  if (*error || !offered) return false;
  std::vector<std::string> copied;
  for (guint i = 0; i < count; ++i) copied.emplace_back(offered[i] ? offered[i] : "");
  g_free(offered);  // the array only: Aravis owns the texts
  symbols = std::move(copied);
  return true;
}

// An integer feature read or written as a float takes whole numbers only,
// so a later read gives back what was written.
bool AsInteger(double value, int64_t& integer) {
  constexpr double kLimit = 9.2e18;  // inside int64_t
  if (!(std::abs(value) < kLimit) || std::trunc(value) != value) return false;
  integer = static_cast<int64_t>(value);
  return true;
}

}  // namespace

NodeKind AravisCamera::KindOfFeature(const char* name) {
  {
    std::lock_guard lock(info_mutex_);
    const auto known = kinds_.find(name);
    if (known != kinds_.end()) return known->second;
  }
  NodeKind kind = NodeKind::Missing;
  {
    std::lock_guard lock(mutex_);
    if (!UsableLocked()) return NodeKind::Missing;
    kind = KindOf(arv_device_get_feature(device_, name));
  }
  std::lock_guard lock(info_mutex_);
  kinds_.emplace(name, kind);
  return kind;
}

template <typename Op>
bool AravisCamera::Access(const char* name, NodeKind kind, Op op) {
  if (!name || (kind != NodeKind::Missing && KindOfFeature(name) != kind)) return false;
  return WithDevice(op);
}

bool AravisCamera::HasFeature(const char* name, sdkabi::FeatureKind kind) {
  return name && connected_ && !lost_ && Reaches(KindOfFeature(name), kind);
}

bool AravisCamera::ReadInt(const char* name, NumberPart part, int64_t& value) {
  return Access(name, NodeKind::Int, [&](ArvDevice* device, GError** error) {
    return ReadInteger(device, name, part, value, error);
  });
}

bool AravisCamera::ReadFloat(const char* name, NumberPart part, double& value) {
  if (part == NumberPart::Increment || !name) return false;
  if (KindOfFeature(name) == NodeKind::Int) {
    int64_t integer = 0;
    if (!ReadInt(name, part, integer)) return false;
    value = static_cast<double>(integer);
    return true;
  }
  return Access(name, NodeKind::Float, [&](ArvDevice* device, GError** error) {
    double read = 0;
    double min = 0;
    double max = 0;
    if (part == NumberPart::Value) {
      read = arv_device_get_float_feature_value(device, name, error);
    } else {
      arv_device_get_float_feature_bounds(device, name, &min, &max, error);
      read = part == NumberPart::Min ? min : max;
    }
    if (*error) return false;
    value = read;
    return true;
  });
}

bool AravisCamera::ReadBool(const char* name, bool& value) {
  return Access(name, NodeKind::Bool, [&](ArvDevice* device, GError** error) {
    const gboolean read = arv_device_get_boolean_feature_value(device, name, error);
    if (*error) return false;
    value = read != FALSE;
    return true;
  });
}

bool AravisCamera::ReadEnum(const char* name, std::string& symbol) {
  return Access(name, NodeKind::Enum, [&](ArvDevice* device, GError** error) {
    return ReadText(device, name, symbol, error);
  });
}

bool AravisCamera::ReadEnumSymbols(const char* name, std::vector<std::string>& symbols) {
  return Access(name, NodeKind::Enum, [&](ArvDevice* device, GError** error) {
    return OfferedSymbols(device, name, symbols, error);
  });
}

bool AravisCamera::ReadString(const char* name, std::string& value) {
  return Access(name, NodeKind::String, [&](ArvDevice* device, GError** error) {
    return ReadText(device, name, value, error);
  });
}

bool AravisCamera::WriteInt(const char* name, int64_t value) {
  return Access(name, NodeKind::Int, [&](ArvDevice* device, GError** error) {
    return !(grabbing_ && LockedWhileGrabbing(name)) && WriteInteger(device, name, value, error);
  });
}

bool AravisCamera::WriteFloat(const char* name, double value) {
  if (!name || !std::isfinite(value)) return false;
  if (KindOfFeature(name) == NodeKind::Int) {
    int64_t integer = 0;
    return AsInteger(value, integer) && WriteInt(name, integer);
  }
  return Access(name, NodeKind::Float, [&](ArvDevice* device, GError** error) {
    arv_device_set_float_feature_value(device, name, value, error);
    return *error == nullptr;
  });
}

bool AravisCamera::WriteBool(const char* name, bool value) {
  return Access(name, NodeKind::Bool, [&](ArvDevice* device, GError** error) {
    arv_device_set_boolean_feature_value(device, name, value ? TRUE : FALSE, error);
    return *error == nullptr;
  });
}

bool AravisCamera::WriteEnum(const char* name, const std::string& symbol) {
  return Access(name, NodeKind::Enum, [&](ArvDevice* device, GError** error) {
    if (grabbing_ && LockedWhileGrabbing(name)) return false;
    // Only the symbols the camera offers now.
    std::vector<std::string> offered;
    if (!OfferedSymbols(device, name, offered, error) ||
        std::find(offered.begin(), offered.end(), symbol) == offered.end())
      return false;
    arv_device_set_string_feature_value(device, name, symbol.c_str(), error);
    return *error == nullptr;
  });
}

bool AravisCamera::WriteString(const char* name, const std::string& value) {
  return Access(name, NodeKind::String, [&](ArvDevice* device, GError** error) {
    // A string register holds a fixed number of bytes, its terminator
    // among them when it fits; Aravis would cut a longer value.
    ArvGcNode* node = arv_device_get_feature(device, name);
    const gint64 room =
        ARV_IS_GC_STRING(node) ? arv_gc_string_get_max_length(ARV_GC_STRING(node), error) : 0;
    if (*error || (room > 0 && static_cast<gint64>(value.size()) > room)) return false;
    arv_device_set_string_feature_value(device, name, value.c_str(), error);
    return *error == nullptr;
  });
}

bool AravisCamera::Execute(const char* name) {
  return Access(name, NodeKind::Command, [&](ArvDevice* device, GError** error) {
    arv_device_execute_command(device, name, error);
    return *error == nullptr;
  });
}

}  // namespace arvsdk
