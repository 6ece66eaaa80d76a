#include "node_kind.h"

namespace arvsdk {

NodeKind KindOf(ArvGcNode* node) {
  if (!node) return NodeKind::Missing;
  // Enumerations and booleans are integers too in Aravis: ask for them
  // first.
  if (ARV_IS_GC_ENUMERATION(node)) return NodeKind::Enum;
  if (ARV_IS_GC_BOOLEAN(node)) return NodeKind::Bool;
  if (ARV_IS_GC_COMMAND(node)) return NodeKind::Command;
  if (ARV_IS_GC_FLOAT(node)) return NodeKind::Float;
  if (ARV_IS_GC_INTEGER(node)) return NodeKind::Int;
  if (ARV_IS_GC_STRING(node)) return NodeKind::String;
  return NodeKind::Missing;
}

bool Reaches(NodeKind kind, sdkabi::FeatureKind asked) {
  using sdkabi::FeatureKind;
  switch (asked) {
    case FeatureKind::Int:
      return kind == NodeKind::Int;
    case FeatureKind::Float:
      return kind == NodeKind::Float || kind == NodeKind::Int;
    case FeatureKind::Bool:
      return kind == NodeKind::Bool;
    case FeatureKind::Enum:
      return kind == NodeKind::Enum;
    case FeatureKind::String:
      return kind == NodeKind::String;
    case FeatureKind::Command:
      return kind == NodeKind::Command;
  }
  return false;
}

}  // namespace arvsdk
