#include "feature_nodes.h"

#include <charconv>
#include <cstring>
#include <new>
#include <string>

#include "sim_state.h"
#include "status_guard.h"
#include "stream_engine.h"

namespace simsdk {
namespace {

template <typename Node>
NodeHandle* HandleOf(Node* self) {
  return self ? static_cast<NodeHandle*>(self->priv) : nullptr;
}

template <typename Record>
Record& RecordOf(const NodeHandle& h) {
  return FeatureRecord<Record>(h.camera->config, *h.def);
}

// A read goes ahead when the node, its camera and the feature are there
// and no read fault is armed.  Caller holds the lock.
bool ReadAllowed(Sim& sim, const NodeHandle* h) {
  return h && h->camera->Ready() && FeaturePresent(h->camera->config, *h->def) &&
         !TakeFault(sim, h->camera, SimOp::FeatureRead, h->def->name);
}

// Image geometry cannot change while the camera streams.
bool LockedWhileGrabbing(const NodeHandle& h) {
  const std::string_view n = h.def->name;
  if (n != "Width" && n != "Height" && n != "PixelFormat") return false;
  for (const StreamImpl* s : h.camera->streams)
    if (s->grabbing) return true;
  return false;
}

// Hands the feature's record to `take` under the lock when the read may go
// ahead; `take` gives the node's answer.
template <typename Record, typename Node, typename Take>
int32_t Read(Node* self, Take take) {
  NodeHandle* h = HandleOf(self);
  Sim& sim = TheSim();
  std::lock_guard lock(sim.mutex);
  if (!ReadAllowed(sim, h)) return SDK_FAIL;
  return take(RecordOf<Record>(*h));
}

// Runs `apply` (which checks the value against the feature's limits) and
// logs the attempt with `text`, accepted or not.
template <typename Apply>
int32_t Write(NodeHandle* h, const std::string& text, Apply apply) {
  return Guarded([&]() -> int32_t {
    if (!h) return SDK_FAIL;
    Sim& sim = TheSim();
    std::lock_guard lock(sim.mutex);
    SimCamera& camera = *h->camera;
    bool ok = camera.Ready() && FeaturePresent(camera.config, *h->def) &&
              !TakeFault(sim, &camera, SimOp::FeatureWrite, h->def->name) &&
              !LockedWhileGrabbing(*h);
    if (ok) {
      const auto now = Clock::now();
      CatchUpCamera(camera, now);
      ok = apply(camera.config);
      RetimeCamera(camera, now);
    }
    if (camera.Present()) camera.log.push_back({std::string(h->def->name), text, ok});
    return ok ? SDK_OK : SDK_FAIL;
  });
}

std::string FloatText(double v) {
  char buf[64];
  const auto result = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, result.ptr);
}

// Copies `text` into buf (*len bytes), cut to fit; *len becomes the full
// length plus one.
int32_t CopyOut(const std::string& text, char* buf, uint32_t* len) {
  if (!buf || !len || *len == 0) return SDK_FAIL;
  const size_t n = std::min<size_t>(text.size(), *len - 1);
  std::memcpy(buf, text.data(), n);
  buf[n] = '\0';
  *len = static_cast<uint32_t>(std::min<size_t>(text.size() + 1, UINT32_MAX));
  return SDK_OK;
}

// ---- Integer --------------------------------------------------------------

template <int64_t IntFeature::*Field>
int32_t IntRead(GENICAM_IntNode* self, int64_t* value) {
  if (!value) return SDK_FAIL;
  return Read<IntFeature>(self, [&](const IntFeature& f) {
    *value = f.*Field;
    return SDK_OK;
  });
}

int32_t IntWrite(GENICAM_IntNode* self, int64_t value) {
  return Write(HandleOf(self), std::to_string(value), [&](CameraConfig& c) {
    IntFeature& f = FeatureRecord<IntFeature>(c, *HandleOf(self)->def);
    if (value < f.min || value > f.max) return false;
    if (f.inc > 0 && (value - f.min) % f.inc != 0) return false;
    f.value = value;
    return true;
  });
}

// ---- Float ----------------------------------------------------------------

template <double FloatFeature::*Field>
int32_t DoubleRead(GENICAM_DoubleNode* self, double* value) {
  if (!value) return SDK_FAIL;
  return Read<FloatFeature>(self, [&](const FloatFeature& f) {
    *value = f.*Field;
    return SDK_OK;
  });
}

int32_t DoubleWrite(GENICAM_DoubleNode* self, double value) {
  return Write(HandleOf(self), FloatText(value), [&](CameraConfig& c) {
    FloatFeature& f = FeatureRecord<FloatFeature>(c, *HandleOf(self)->def);
    if (!(value >= f.min && value <= f.max)) return false;  // NaN fails too
    f.value = value;
    return true;
  });
}

// ---- Bool -----------------------------------------------------------------

int32_t BoolRead(GENICAM_BoolNode* self, uint32_t* value) {
  if (!value) return SDK_FAIL;
  return Read<BoolFeature>(self, [&](const BoolFeature& f) {
    *value = f.value ? 1 : 0;
    return SDK_OK;
  });
}

int32_t BoolWrite(GENICAM_BoolNode* self, uint32_t value) {
  const std::string text = value == 0 ? "false" : value == 1 ? "true" : std::to_string(value);
  return Write(HandleOf(self), text, [&](CameraConfig& c) {
    if (value > 1) return false;
    FeatureRecord<BoolFeature>(c, *HandleOf(self)->def).value = value == 1;
    return true;
  });
}

// ---- Enumeration ------------------------------------------------------------

int32_t EnumRead(GENICAM_EnumNode* self, char* buf, uint32_t* len) {
  return Read<EnumFeature>(self, [&](const EnumFeature& f) { return CopyOut(f.value, buf, len); });
}

int32_t EnumWrite(GENICAM_EnumNode* self, const char* symbol) {
  if (!symbol) return SDK_FAIL;
  const std::string text(symbol, strnlen(symbol, SDK_SYMBOL_LEN));
  return Write(HandleOf(self), text, [&](CameraConfig& c) {
    EnumFeature& f = FeatureRecord<EnumFeature>(c, *HandleOf(self)->def);
    for (const std::string& entry : f.entries) {
      if (entry != text) continue;
      f.value = entry;
      return true;
    }
    return false;
  });
}

int32_t EnumList(GENICAM_EnumNode* self, GENICAM_EnumEntry* list, uint32_t* count) {
  NodeHandle* h = HandleOf(self);
  if (!h || !list || !count) return SDK_FAIL;
  Sim& sim = TheSim();
  std::lock_guard lock(sim.mutex);
  if (!h->camera->Ready() || !FeaturePresent(h->camera->config, *h->def) ||
      TakeFault(sim, h->camera, SimOp::EnumList))
    return SDK_FAIL;
  const auto& entries = RecordOf<EnumFeature>(*h).entries;
  const uint32_t n = static_cast<uint32_t>(std::min<size_t>(entries.size(), *count));
  for (uint32_t i = 0; i < n; ++i) {
    uint32_t len = SDK_SYMBOL_LEN;
    CopyOut(entries[i], list[i].symbol, &len);
  }
  *count = n;
  return SDK_OK;
}

// ---- String -----------------------------------------------------------------

int32_t StringRead(GENICAM_StringNode* self, char* buf, uint32_t* len) {
  return Read<StringFeature>(self,
                             [&](const StringFeature& f) { return CopyOut(f.value, buf, len); });
}

int32_t StringWrite(GENICAM_StringNode* self, const char* value) {
  if (!value) return SDK_FAIL;
  // One more than the buffer holds shows a value that does not fit.
  const std::string text(value, strnlen(value, SDK_STRING_LEN));
  return Write(HandleOf(self), text, [&](CameraConfig& c) {
    if (text.size() >= SDK_STRING_LEN) return false;
    FeatureRecord<StringFeature>(c, *HandleOf(self)->def).value = text;
    return true;
  });
}

// ---- Command ----------------------------------------------------------------

int32_t Execute(GENICAM_CmdNode* self) {
  return Guarded([&]() -> int32_t {
    NodeHandle* h = HandleOf(self);
    if (!h) return SDK_FAIL;
    Sim& sim = TheSim();
    std::lock_guard lock(sim.mutex);
    SimCamera& camera = *h->camera;
    const bool ok = camera.Ready() && FeaturePresent(camera.config, *h->def) &&
                    !TakeFault(sim, &camera, SimOp::CommandExecute);
    if (ok && h->def->name == "TriggerSoftware") TriggerCamera(camera, Timing::Source::Software);
    if (camera.Present()) camera.log.push_back({std::string(h->def->name), "", ok});
    return ok ? SDK_OK : SDK_FAIL;
  });
}

// ---- By-value handles ---------------------------------------------------------

template <typename Node>
int32_t ReleaseValueNode(Node* self) {
  NodeHandle* h = HandleOf(self);
  if (!h) return SDK_FAIL;
  {
    std::lock_guard lock(TheSim().mutex);
    --TheSim().live.value_nodes;
  }
  delete h;
  self->priv = nullptr;
  return SDK_OK;
}

// A handle for a present feature of the expected type, or null.
NodeHandle* NewHandle(SimCamera* camera, std::string_view name, FeatureType type) {
  const FeatureDef* def = FindFeature(name);
  if (!camera || !def || def->type != type) return nullptr;
  Sim& sim = TheSim();
  std::lock_guard lock(sim.mutex);
  if (!FeaturePresent(camera->config, *def)) return nullptr;
  auto* handle = new (std::nothrow) NodeHandle{camera, def};
  if (handle) ++sim.live.value_nodes;
  return handle;
}

}  // namespace

GENICAM_IntNode MakeIntNode(SimCamera* camera, std::string_view name) {
  return {NewHandle(camera, name, FeatureType::Int),
          &ReleaseValueNode<GENICAM_IntNode>,
          &IntRead<&IntFeature::value>,
          &IntWrite,
          &IntRead<&IntFeature::min>,
          &IntRead<&IntFeature::max>,
          &IntRead<&IntFeature::inc>};
}

GENICAM_DoubleNode MakeDoubleNode(SimCamera* camera, std::string_view name) {
  return {NewHandle(camera, name, FeatureType::Float),
          &ReleaseValueNode<GENICAM_DoubleNode>,
          &DoubleRead<&FloatFeature::value>,
          &DoubleWrite,
          &DoubleRead<&FloatFeature::min>,
          &DoubleRead<&FloatFeature::max>};
}

GENICAM_BoolNode MakeBoolNode(SimCamera* camera, std::string_view name) {
  return {NewHandle(camera, name, FeatureType::Bool), &ReleaseValueNode<GENICAM_BoolNode>,
          &BoolRead, &BoolWrite};
}

GENICAM_EnumNode MakeEnumNode(SimCamera* camera, std::string_view name) {
  GENICAM_EnumNode node{};
  SetEnumOperations(node);
  node.priv = NewHandle(camera, name, FeatureType::Enum);
  node.release = &ReleaseValueNode<GENICAM_EnumNode>;
  return node;
}

GENICAM_StringNode MakeStringNode(SimCamera* camera, std::string_view name) {
  GENICAM_StringNode node{};
  SetStringOperations(node);
  node.priv = NewHandle(camera, name, FeatureType::String);
  node.release = &ReleaseValueNode<GENICAM_StringNode>;
  return node;
}

GENICAM_CmdNode MakeCmdNode(SimCamera* camera, std::string_view name) {
  return {NewHandle(camera, name, FeatureType::Command), &ReleaseValueNode<GENICAM_CmdNode>,
          &Execute};
}

void SetEnumOperations(GENICAM_EnumNode& node) {
  node.getValueSymbol = &EnumRead;
  node.setValueBySymbol = &EnumWrite;
  node.getEnumSymbolList = &EnumList;
}

void SetStringOperations(GENICAM_StringNode& node) {
  node.getValue = &StringRead;
  node.setValue = &StringWrite;
}

}  // namespace simsdk
