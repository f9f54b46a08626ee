#include "streaming/resources.h"

#include <optional>
#include <vector>

#include "core/streams.h"
#include "core/system.h"
#include "streaming/namespacelock.h"
#include "streaming/reader.h"

namespace tavelo {

bool FindClassDescription(TClass cls) {
  const void* data;
  std::int32_t size;
  return sys::FindResource(0, cls->ClassName(), sys::kRcData, data, size);
}

bool InitInheritedComponent(TComponent* instance, TClass rootAncestor) {
  sys::TLockGuard space(NameSpaceLock());
  // A root that is not already being loaded gathers the loaded list of its whole chain.
  std::optional<TLoadedListScope> loaded;
  if (!instance->ComponentState().Contains(csLoading) && !instance->ComponentState().Contains(csInline)) loaded.emplace();
  bool found = false;
  std::vector<TClass> chain;
  TClass stop = rootAncestor ? rootAncestor : TComponent::StaticClass();
  for (TClass cls = instance->ClassType(); cls != nullptr && cls != stop && cls != TComponent::StaticClass();
       cls = cls->ClassParent())
    chain.push_back(cls);
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    if (!FindClassDescription(*it)) continue;
    TResourceStream stream(0, (*it)->ClassName(), sys::kRcData);
    ReadComponentFromStream(stream, instance);
    found = true;
  }
  if (loaded)
    for (TComponent* component : loaded->List()) component->Loaded();
  return found;
}

}  // namespace tavelo
