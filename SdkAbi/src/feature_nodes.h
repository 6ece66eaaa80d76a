// Feature nodes: the by-value nodes that controls hand out and the
// operations they share with the nodes made by name.  A node's handle
// holds its camera and feature name only; every operation looks the
// feature up again through the backend.
#pragma once

#include "camera_sdk.h"
#include "sdk_abi/backend.h"

namespace sdkabi {

// What a node's priv points at.  `name` outlives the node: a literal for
// the nodes controls hand out, the named node's own copy otherwise.
struct NodeHandle {
  Camera* camera;
  const char* name;
  FeatureKind kind;
};

// By-value nodes for the feature `name` of `camera` (which may be null).
// A feature the camera lacks gives a node whose priv is null; every
// operation of such a node, release included, answers -1.
GENICAM_IntNode MakeIntNode(Camera* camera, const char* name);
GENICAM_DoubleNode MakeDoubleNode(Camera* camera, const char* name);
GENICAM_BoolNode MakeBoolNode(Camera* camera, const char* name);
GENICAM_EnumNode MakeEnumNode(Camera* camera, const char* name);
GENICAM_StringNode MakeStringNode(Camera* camera, const char* name);
GENICAM_CmdNode MakeCmdNode(Camera* camera, const char* name);

// Fill every operation but release; priv is left to the caller.
void SetEnumOperations(GENICAM_EnumNode& node);
void SetStringOperations(GENICAM_StringNode& node);

}  // namespace sdkabi
