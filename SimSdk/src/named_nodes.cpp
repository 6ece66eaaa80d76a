// GENICAM_createEnumNode and GENICAM_createStringNode: nodes for any
// enumeration or string feature, reached by its GenICam name.
#include <cstring>

#include "feature_nodes.h"
#include "sim_state.h"
#include "status_guard.h"

namespace simsdk {
namespace {

template <typename Record>
struct NamedNode {
  Record record;  // first, so the record's address is the node's
  NodeHandle handle;
};

template <typename Record>
int32_t ReleaseNamed(Record* self) {
  if (!self || !self->priv) return SDK_FAIL;
  {
    std::lock_guard lock(TheSim().mutex);
    --TheSim().live.named_nodes;
  }
  delete reinterpret_cast<NamedNode<Record>*>(self);
  return SDK_OK;
}

template <typename Record>
int32_t CreateNamed(const FeatureNodeInfo* info, Record** out, FeatureType type, SimOp op,
                    void (*set_operations)(Record&)) {
  return Guarded([&]() -> int32_t {
    if (!info || !out) return SDK_FAIL;
    const size_t name_length = strnlen(info->attrName, sizeof info->attrName);
    if (name_length == sizeof info->attrName) return SDK_FAIL;  // not terminated
    const FeatureDef* def = FindFeature(std::string_view(info->attrName, name_length));
    Sim& sim = TheSim();
    std::lock_guard lock(sim.mutex);
    SimCamera* camera = CameraOf(info->camera);
    if (!camera || !camera->Ready() || TakeFault(sim, camera, op)) return SDK_FAIL;
    if (!def || def->type != type || !FeaturePresent(camera->config, *def)) return SDK_FAIL;
    auto* node = new NamedNode<Record>{{}, {camera, def}};
    set_operations(node->record);
    node->record.priv = &node->handle;
    node->record.release = &ReleaseNamed<Record>;
    ++sim.live.named_nodes;
    *out = &node->record;
    return SDK_OK;
  });
}

}  // namespace
}  // namespace simsdk

using namespace simsdk;

extern "C" {

SDK_API int32_t GENICAM_createEnumNode(const FeatureNodeInfo* info, GENICAM_EnumNode** node) {
  return CreateNamed(info, node, FeatureType::Enum, SimOp::CreateEnumNode, &SetEnumOperations);
}

SDK_API int32_t GENICAM_createStringNode(const FeatureNodeInfo* info, GENICAM_StringNode** node) {
  return CreateNamed(info, node, FeatureType::String, SimOp::CreateStringNode,
                     &SetStringOperations);
}

}  // extern "C"
