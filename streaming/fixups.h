// References to components that are set once the component they name can be found: at the
// end of a reading for the components it read, or, for a component of another root (another
// window), once that root has been read.
#pragma once

#include <vector>

#include "core/component.h"

namespace tavelo {

class TPropInfo;

// A pending reference: the property prop of instance is to hold the component that the name
// path leads to, from the top-level component named rootName or, when rootName is empty, from
// instanceRoot, the root of the reading that found the reference.
struct TPropFixup {
  TPersistent* instance;
  TComponent* instanceRoot;
  const TPropInfo* prop;
  String rootName;
  String name;
};

// Functions that find a top-level component (a window) by name, for references across
// roots; the forms register theirs.
using TFindGlobalComponent = TComponent* (*)(const String& name);
void RegisterFindGlobalComponentProc(TFindGlobalComponent proc);
void UnregisterFindGlobalComponentProc(TFindGlobalComponent proc);
TComponent* FindGlobalComponent(const String& name);
// The component named by a path (".", "-" and "->" separate names; "Owner" is the current
// component) from root, or null.
TComponent* FindNestedComponent(TComponent* root, const String& namePath);

// Resolves, in order, the references a reading found: a name found from the reading's root is
// set; a dotted name that is not found waits for its root among the pending references across
// roots; any other name leaves the property null. Each replaces the reference an earlier
// reading left pending for the same property.
void ResolveLocalFixups(const std::vector<TPropFixup>& fixups);
// Resolves pending references to components of other roots that can now be found.
void GlobalFixupReferences();
// The number of references still pending across roots.
int PendingGlobalFixupCount();
// Drops the pending references whose instance root is root, or that target instance.
void RemoveFixupReferences(TComponent* root, TPersistent* instance);

}  // namespace tavelo
