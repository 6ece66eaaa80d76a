#include "feature_nodes.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "abi_state.h"
#include "common/abi_barrier.h"

namespace sdkabi {
namespace {

template <typename Node>
NodeHandle* HandleOf(Node* self) {
  return self ? static_cast<NodeHandle*>(self->priv) : nullptr;
}

// What every node operation needs before its fault is taken.
bool Reachable(const NodeHandle& h) {
  return h.camera->State() == CameraState::Connected && h.camera->HasFeature(h.name, h.kind);
}

// Runs `read` (which gives the node's answer) when the node reaches its
// feature and no read fault is armed.
template <typename Node, typename Read>
int32_t ReadNode(Node* self, Read read) {
  return boundary::Barrier(SDK_FAIL, [&] {
    const NodeHandle* h = HandleOf(self);
    if (!h || !Reachable(*h) || TakeFault(h->camera, FaultPoint::FeatureRead, h->name))
      return SDK_FAIL;
    return read(*h->camera, h->name);
  });
}

// Runs `write` when the node reaches its feature and no fault of `point`
// (narrowed to `fault_feature`) is armed, and logs the attempt as `text`,
// accepted or not, while the camera is there.
template <typename Write>
int32_t WriteNode(const NodeHandle* h, FaultPoint point, std::string_view fault_feature,
                  std::string text, Write write) {
  if (!h) return SDK_FAIL;
  Camera& camera = *h->camera;
  const bool ok = Reachable(*h) && !TakeFault(&camera, point, fault_feature) && write(camera);
  if (camera.State() != CameraState::Gone) LogWrite(camera, {h->name, std::move(text), ok});
  return ok ? SDK_OK : SDK_FAIL;
}

template <typename Write>
int32_t WriteFeature(const NodeHandle* h, std::string text, Write write) {
  return WriteNode(h, FaultPoint::FeatureWrite, h ? h->name : "", std::move(text), write);
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

// ---- Integer and float --------------------------------------------------------

template <typename Node, typename Number, bool (Camera::*Read)(const char*, NumberPart, Number&),
          NumberPart Part>
int32_t NumberRead(Node* self, Number* value) {
  if (!value) return SDK_FAIL;
  return ReadNode(self, [&](Camera& camera, const char* name) {
    Number read{};
    if (!(camera.*Read)(name, Part, read)) return SDK_FAIL;
    *value = read;
    return SDK_OK;
  });
}

template <NumberPart Part>
constexpr auto IntRead = &NumberRead<GENICAM_IntNode, int64_t, &Camera::ReadInt, Part>;
template <NumberPart Part>
constexpr auto DoubleRead = &NumberRead<GENICAM_DoubleNode, double, &Camera::ReadFloat, Part>;

int32_t IntWrite(GENICAM_IntNode* self, int64_t value) {
  return boundary::Barrier(SDK_FAIL, [&] {
    const NodeHandle* h = HandleOf(self);
    return WriteFeature(h, std::to_string(value),
                        [&](Camera& camera) { return camera.WriteInt(h->name, value); });
  });
}

int32_t DoubleWrite(GENICAM_DoubleNode* self, double value) {
  return boundary::Barrier(SDK_FAIL, [&] {
    const NodeHandle* h = HandleOf(self);
    return WriteFeature(h, FloatText(value),
                        [&](Camera& camera) { return camera.WriteFloat(h->name, value); });
  });
}

// ---- Bool -----------------------------------------------------------------

int32_t BoolRead(GENICAM_BoolNode* self, uint32_t* value) {
  if (!value) return SDK_FAIL;
  return ReadNode(self, [&](Camera& camera, const char* name) {
    bool read = false;
    if (!camera.ReadBool(name, read)) return SDK_FAIL;
    *value = read ? 1 : 0;
    return SDK_OK;
  });
}

int32_t BoolWrite(GENICAM_BoolNode* self, uint32_t value) {
  return boundary::Barrier(SDK_FAIL, [&] {
    const NodeHandle* h = HandleOf(self);
    const std::string text = value == 0 ? "false" : value == 1 ? "true" : std::to_string(value);
    return WriteFeature(h, text, [&](Camera& camera) {
      return value <= 1 && camera.WriteBool(h->name, value == 1);
    });
  });
}

// ---- Enumeration ------------------------------------------------------------

int32_t EnumRead(GENICAM_EnumNode* self, char* buf, uint32_t* len) {
  return ReadNode(self, [&](Camera& camera, const char* name) {
    std::string symbol;
    if (!camera.ReadEnum(name, symbol)) return SDK_FAIL;
    return CopyOut(symbol, buf, len);
  });
}

int32_t EnumWrite(GENICAM_EnumNode* self, const char* symbol) {
  if (!symbol) return SDK_FAIL;
  return boundary::Barrier(SDK_FAIL, [&] {
    const NodeHandle* h = HandleOf(self);
    std::string text(symbol, strnlen(symbol, SDK_SYMBOL_LEN));
    return WriteFeature(h, text, [&](Camera& camera) { return camera.WriteEnum(h->name, text); });
  });
}

int32_t EnumList(GENICAM_EnumNode* self, GENICAM_EnumEntry* list, uint32_t* count) {
  return boundary::Barrier(SDK_FAIL, [&] {
    const NodeHandle* h = HandleOf(self);
    if (!h || !list || !count) return SDK_FAIL;
    if (!Reachable(*h) || TakeFault(h->camera, FaultPoint::EnumList)) return SDK_FAIL;
    std::vector<std::string> symbols;
    if (!h->camera->ReadEnumSymbols(h->name, symbols)) return SDK_FAIL;
    const uint32_t n = static_cast<uint32_t>(std::min<size_t>(symbols.size(), *count));
    for (uint32_t i = 0; i < n; ++i) {
      uint32_t len = SDK_SYMBOL_LEN;
      CopyOut(symbols[i], list[i].symbol, &len);
    }
    *count = n;
    return SDK_OK;
  });
}

// ---- String -----------------------------------------------------------------

int32_t StringRead(GENICAM_StringNode* self, char* buf, uint32_t* len) {
  return ReadNode(self, [&](Camera& camera, const char* name) {
    std::string value;
    if (!camera.ReadString(name, value)) return SDK_FAIL;
    return CopyOut(value, buf, len);
  });
}

int32_t StringWrite(GENICAM_StringNode* self, const char* value) {
  if (!value) return SDK_FAIL;
  return boundary::Barrier(SDK_FAIL, [&] {
    const NodeHandle* h = HandleOf(self);
    // One more than the buffer holds shows a value that does not fit.
    std::string text(value, strnlen(value, SDK_STRING_LEN));
    return WriteFeature(h, text, [&](Camera& camera) {
      return text.size() < SDK_STRING_LEN && camera.WriteString(h->name, text);
    });
  });
}

// ---- Command ----------------------------------------------------------------

int32_t Execute(GENICAM_CmdNode* self) {
  return boundary::Barrier(SDK_FAIL, [&] {
    const NodeHandle* h = HandleOf(self);
    return WriteNode(h, FaultPoint::CommandExecute, {}, "",
                     [&](Camera& camera) { return camera.Execute(h->name); });
  });
}

// ---- By-value handles ---------------------------------------------------------

template <typename Node>
int32_t ReleaseValueNode(Node* self) {
  NodeHandle* h = HandleOf(self);
  if (!h) return SDK_FAIL;
  CountLive(&LiveObjectCount::value_nodes, -1);
  delete h;
  self->priv = nullptr;
  return SDK_OK;
}

// A handle for a feature the camera has, or null.
NodeHandle* NewHandle(Camera* camera, const char* name, FeatureKind kind) {
  return boundary::Barrier(static_cast<NodeHandle*>(nullptr), [&]() -> NodeHandle* {
    if (!camera || !camera->HasFeature(name, kind)) return nullptr;
    auto handle = std::make_unique<NodeHandle>(NodeHandle{camera, name, kind});
    CountLive(&LiveObjectCount::value_nodes, 1);
    return handle.release();
  });
}

}  // namespace

GENICAM_IntNode MakeIntNode(Camera* camera, const char* name) {
  return {NewHandle(camera, name, FeatureKind::Int),
          &ReleaseValueNode<GENICAM_IntNode>,
          IntRead<NumberPart::Value>,
          &IntWrite,
          IntRead<NumberPart::Min>,
          IntRead<NumberPart::Max>,
          IntRead<NumberPart::Increment>};
}

GENICAM_DoubleNode MakeDoubleNode(Camera* camera, const char* name) {
  return {NewHandle(camera, name, FeatureKind::Float),
          &ReleaseValueNode<GENICAM_DoubleNode>,
          DoubleRead<NumberPart::Value>,
          &DoubleWrite,
          DoubleRead<NumberPart::Min>,
          DoubleRead<NumberPart::Max>};
}

GENICAM_BoolNode MakeBoolNode(Camera* camera, const char* name) {
  return {NewHandle(camera, name, FeatureKind::Bool), &ReleaseValueNode<GENICAM_BoolNode>,
          &BoolRead, &BoolWrite};
}

GENICAM_EnumNode MakeEnumNode(Camera* camera, const char* name) {
  GENICAM_EnumNode node{};
  SetEnumOperations(node);
  node.priv = NewHandle(camera, name, FeatureKind::Enum);
  node.release = &ReleaseValueNode<GENICAM_EnumNode>;
  return node;
}

GENICAM_StringNode MakeStringNode(Camera* camera, const char* name) {
  GENICAM_StringNode node{};
  SetStringOperations(node);
  node.priv = NewHandle(camera, name, FeatureKind::String);
  node.release = &ReleaseValueNode<GENICAM_StringNode>;
  return node;
}

GENICAM_CmdNode MakeCmdNode(Camera* camera, const char* name) {
  return {NewHandle(camera, name, FeatureKind::Command), &ReleaseValueNode<GENICAM_CmdNode>,
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

}  // namespace sdkabi
