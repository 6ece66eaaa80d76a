// Reading a parameter or answering a metadata query.  Plain names
// are answered from the values the interface keeps and never ask the
// camera; ranges of camera features are read from the camera now.  String
// answers point at constant texts or at fields of the instance record and
// stay valid while the instance is open and the field is not rewritten.
#include <shared_mutex>

#include "base/shared_fields.h"
#include "parameters/camera_features.h"
#include "parameters/parameter_catalogue.h"
#include "parameters/parameter_operations.h"

namespace {

void PutInteger(ParamValue& value, int64_t integer) {
  value.par.l = integer;
  value.type = PV_INTEGER;
}

void PutFloat(ParamValue& value, double real) {
  value.par.d = real;
  value.type = PV_FLOAT;
}

void PutText(ParamValue& value, const char* text) {
  value.par.s = const_cast<char*>(text);  // the host copies; it never writes through it
  value.type = PV_STRING;
}

const char* SwitchWord(const CatalogueEntry& entry, bool on) {
  return entry.values[on ? 1 : 0].text;
}

int32_t PixelFormatCount(const InstanceRecord& inst) {
  const int32_t count = inst.pixel_format_count;
  return count < 0 ? 0 : (count > kMaxPixelFormats ? kMaxPixelFormats : count);
}

Herror AnswerValue(const CatalogueEntry& entry, InstanceRecord& inst, ParamValue* value) {
  const Storage& storage = entry.storage;
  switch (entry.handling) {
    case Handling::kInterfaceInteger:
    case Handling::kIntFeature:
      PutInteger(value[0], inst.*storage.integer);
      return H_MSG_OK;
    case Handling::kBufferCount:
      PutInteger(value[0], inst.*storage.count);
      return H_MSG_OK;
    case Handling::kRevision:
      PutText(value[0], kRevisionText);
      return H_MSG_OK;
    case Handling::kInterfaceSwitch:
    case Handling::kVolatile:
      PutText(value[0], SwitchWord(entry, LoadShared(inst.*storage.on_off)));
      return H_MSG_OK;
    case Handling::kBoolFeature:
      PutText(value[0], entry.values[inst.*storage.flag != 0 ? 1 : 0].text);
      return H_MSG_OK;
    case Handling::kTriggerMode:
    case Handling::kDeviceUserID:
      PutText(value[0], inst.*storage.text);
      return H_MSG_OK;
    case Handling::kPixelFormat: {
      // An index the camera's list never set stays inside the table.
      const int32_t index = inst.pixel_format_index;
      PutText(value[0], index >= 0 && index < kMaxPixelFormats ? inst.pixel_formats[index] : "");
      return H_MSG_OK;
    }
    case Handling::kFloatFeature:
      PutFloat(value[0], inst.*storage.real);
      return H_MSG_OK;
    default:
      return H_ERR_FGPARAM;  // write-only: not readable
  }
}

Herror AnswerValues(const CatalogueEntry& entry, InstanceRecord& inst, ParamValue* value,
                    int32_t* num_value) {
  switch (entry.values_kind) {
    case ValuesKind::kFixed:
      for (size_t i = 0; i < entry.values.size(); ++i) {
        const ListedValue& listed = entry.values[i];
        if (listed.type == PV_STRING) {
          PutText(value[i], listed.text);
        } else {
          PutInteger(value[i], listed.integer);
        }
      }
      *num_value = static_cast<int32_t>(entry.values.size());
      return H_MSG_OK;
    case ValuesKind::kPixelFormats: {
      const int32_t count = PixelFormatCount(inst);
      for (int32_t i = 0; i < count; ++i) PutText(value[i], inst.pixel_formats[i]);
      *num_value = count;
      return H_MSG_OK;
    }
    case ValuesKind::kEmpty:
      PutText(value[0], "");
      *num_value = 0;
      return H_MSG_OK;
    case ValuesKind::kNone:
      break;
  }
  return H_ERR_FGPARAM;
}

// Camera ranges: every read must succeed, else the query fails with
// H_ERR_FGPARV and the answer array keeps what it held.
Herror AnswerFeatureRange(const CatalogueEntry& entry, const CameraEntry& camera, ParamValue* value,
                          int32_t* num_value) {
  if (entry.range_kind == RangeKind::kFloatFeature) {
    HeldNode<GENICAM_DoubleNode> node(entry.feature.real, camera);
    double minimum = 0, maximum = 0, current = 0;
    if (!node.held() || node.get()->getMinVal(node.get(), &minimum) != SDK_OK ||
        node.get()->getMaxVal(node.get(), &maximum) != SDK_OK ||
        node.get()->getValue(node.get(), &current) != SDK_OK) {
      return H_ERR_FGPARV;
    }
    PutFloat(value[0], minimum);
    PutFloat(value[1], maximum);
    PutFloat(value[2], 1.0);
    PutFloat(value[3], current);
  } else {
    HeldNode<GENICAM_IntNode> node(entry.feature.integer, camera);
    int64_t minimum = 0, maximum = 0, step = 0, current = 0;
    if (!node.held() || node.get()->getMinVal(node.get(), &minimum) != SDK_OK ||
        node.get()->getMaxVal(node.get(), &maximum) != SDK_OK ||
        node.get()->getIncrement(node.get(), &step) != SDK_OK ||
        node.get()->getValue(node.get(), &current) != SDK_OK) {
      return H_ERR_FGPARV;
    }
    PutInteger(value[0], minimum);
    PutInteger(value[1], maximum);
    PutInteger(value[2], step);
    PutInteger(value[3], current);
  }
  *num_value = 4;
  return H_MSG_OK;
}

Herror AnswerRange(const CatalogueEntry& entry, CameraEntry& camera, ParamValue* value,
                   int32_t* num_value) {
  if (entry.range_kind == RangeKind::kFixed) {
    for (size_t i = 0; i < entry.fixed_range.size(); ++i)
      PutInteger(value[i], entry.fixed_range[i]);
    *num_value = 4;
    return H_MSG_OK;
  }
  std::shared_lock<std::shared_mutex> objects(camera.objects_lock);
  return AnswerFeatureRange(entry, camera, value, num_value);
}

}  // namespace

Herror GetParameter(const OpenInstance& open, const char* name, ParamValue* value,
                    int32_t* num_value) {
  InstanceRecord& inst = open.inst;

  const Lookup found = FindParameter(name);
  if (found.entry == nullptr) return H_ERR_FGPARAM;
  const CatalogueEntry& entry = *found.entry;
  switch (found.query) {
    case Query::kValue:
      if (entry.read_kind == ValueKind::kNone) return H_ERR_FGPARAM;
      return AnswerValue(entry, inst, value);
    case Query::kValues:
      return AnswerValues(entry, inst, value, num_value);
    case Query::kRange:
      return AnswerRange(entry, open.camera, value, num_value);
    case Query::kDescription:
      PutText(value[0], entry.description);
      return H_MSG_OK;
    case Query::kCategory:
      PutText(value[0], entry.category);
      return H_MSG_OK;
  }
  return H_ERR_FGPARAM;
}
