// Feature nodes: the by-value nodes that controls hand out and the
// operations they share with the nodes made by name.
#pragma once

#include <string_view>

#include "camera_sdk.h"
#include "feature_table.h"

namespace simsdk {

struct SimCamera;

// What a node's priv points at.
struct NodeHandle {
  SimCamera* camera;
  const FeatureDef* def;
};

// By-value nodes for the feature `name` of `camera` (which may be null).
// An absent feature gives a node whose priv is null; every operation of
// such a node, release included, answers -1.  These take TheSim().mutex.
GENICAM_IntNode MakeIntNode(SimCamera* camera, std::string_view name);
GENICAM_DoubleNode MakeDoubleNode(SimCamera* camera, std::string_view name);
GENICAM_BoolNode MakeBoolNode(SimCamera* camera, std::string_view name);
GENICAM_EnumNode MakeEnumNode(SimCamera* camera, std::string_view name);
GENICAM_StringNode MakeStringNode(SimCamera* camera, std::string_view name);
GENICAM_CmdNode MakeCmdNode(SimCamera* camera, std::string_view name);

// Fill every operation but release; priv is left to the caller.
void SetEnumOperations(GENICAM_EnumNode& node);
void SetStringOperations(GENICAM_StringNode& node);

}  // namespace simsdk
