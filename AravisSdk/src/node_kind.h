// What kind of GenICam node a feature is, as the SDK's nodes see it.
#pragma once

#include <arv.h>

#include "sdk_abi/backend.h"

namespace arvsdk {

enum class NodeKind { Missing, Int, Float, Bool, Enum, String, Command };

// The kind of the feature node `node` (null: Missing).
NodeKind KindOf(ArvGcNode* node);

// Whether nodes of `asked` reach a feature of kind `kind`.  Float nodes
// also reach integer features: cameras often make GainRaw an Integer.
bool Reaches(NodeKind kind, sdkabi::FeatureKind asked);

}  // namespace arvsdk
