// Building components from the descriptions in the program's resources: each class that has
// one finds it as an RCDATA resource named after the class.
#pragma once

#include "core/component.h"

namespace tavelo {

// Reads into instance the descriptions of its class chain, from the class just below
// rootAncestor down to the instance's own class; true when at least one was found.
bool InitInheritedComponent(TComponent* instance, TClass rootAncestor);
// Whether the program's resources hold a description for the class.
bool FindClassDescription(TClass cls);

}  // namespace tavelo
