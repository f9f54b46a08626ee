#include "streaming/namespacelock.h"

#include "core/exceptions.h"
#include "core/rtlconsts.h"

namespace tavelo {

namespace {

thread_local std::vector<std::vector<TComponent*>*> tLoadedStack;

}  // namespace

sys::TCriticalSection& NameSpaceLock() {
  static sys::TCriticalSection lock;
  return lock;
}

void TNesting::TooDeep() {
  --depth_;
  throw EReadError(SReadError);
}

TLoadedListScope::TLoadedListScope() { tLoadedStack.push_back(&list_); }
TLoadedListScope::~TLoadedListScope() { tLoadedStack.pop_back(); }

std::vector<TComponent*>* CurrentLoadedList() { return tLoadedStack.empty() ? nullptr : tLoadedStack.back(); }

}  // namespace tavelo
