// GENICAM_createEnumNode and GENICAM_createStringNode: nodes for any
// enumeration or string feature, reached by its GenICam name.
#include <cstring>
#include <memory>
#include <type_traits>

#include "abi_state.h"
#include "camera_records.h"
#include "common/abi_barrier.h"
#include "feature_nodes.h"

namespace sdkabi {
namespace {

// Plain data, so the record's address is the node's.
template <typename Record>
struct NamedNode {
  Record record;
  NodeHandle handle;  // handle.name points at `name`
  char name[sizeof FeatureNodeInfo::attrName];
};

template <typename Record>
int32_t ReleaseNamed(Record* self) {
  if (!self || !self->priv) return SDK_FAIL;
  CountLive(&LiveObjectCount::named_nodes, -1);
  delete reinterpret_cast<NamedNode<Record>*>(self);
  return SDK_OK;
}

template <typename Record>
int32_t CreateNamed(const FeatureNodeInfo* info, Record** out, FeatureKind kind, FaultPoint point,
                    void (*set_operations)(Record&)) {
  return boundary::Barrier(SDK_FAIL, [&] {
    if (!info || !out) return SDK_FAIL;
    const size_t name_length = strnlen(info->attrName, sizeof info->attrName);
    if (name_length == sizeof info->attrName) return SDK_FAIL;  // not terminated
    Camera* camera = CameraOf(info->camera);
    if (!camera || camera->State() != CameraState::Connected || TakeFault(camera, point))
      return SDK_FAIL;
    if (!camera->HasFeature(info->attrName, kind)) return SDK_FAIL;
    static_assert(std::is_standard_layout_v<NamedNode<Record>>);
    auto node = std::make_unique<NamedNode<Record>>();
    std::memcpy(node->name, info->attrName, name_length + 1);
    node->handle = {camera, node->name, kind};
    set_operations(node->record);
    node->record.priv = &node->handle;
    node->record.release = &ReleaseNamed<Record>;
    CountLive(&LiveObjectCount::named_nodes, 1);
    *out = &node.release()->record;
    return SDK_OK;
  });
}

}  // namespace
}  // namespace sdkabi

using namespace sdkabi;

extern "C" {

SDK_API int32_t GENICAM_createEnumNode(const FeatureNodeInfo* info, GENICAM_EnumNode** node) {
  return CreateNamed(info, node, FeatureKind::Enum, FaultPoint::CreateEnumNode, &SetEnumOperations);
}

SDK_API int32_t GENICAM_createStringNode(const FeatureNodeInfo* info, GENICAM_StringNode** node) {
  return CreateNamed(info, node, FeatureKind::String, FaultPoint::CreateStringNode,
                     &SetStringOperations);
}

}  // extern "C"
