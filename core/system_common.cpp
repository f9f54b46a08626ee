// The parts of the seam that are the same on every platform.
#include <vector>

#include "core/system.h"

namespace tavelo::sys {

namespace {

struct TRegisteredResource {
  String name;
  int type;
  const void* data;
  std::int32_t size;
};

TCriticalSection& ResourceLock() {
  static TCriticalSection lock;
  return lock;
}

std::vector<TRegisteredResource>& Registered() {
  static std::vector<TRegisteredResource> list;
  return list;
}

}  // namespace

void RegisterResource(const String& name, int type, const void* data, std::int32_t size) {
  TLockGuard hold(ResourceLock());
  Registered().push_back({name, type, data, size});
}

bool FindRegisteredResource(const String& name, int type, const void*& data, std::int32_t& size) {
  TLockGuard hold(ResourceLock());
  for (const TRegisteredResource& r : Registered()) {
    if (r.type == type && SameName(r.name, name)) {
      data = r.data;
      size = r.size;
      return true;
    }
  }
  return false;
}

}  // namespace tavelo::sys
