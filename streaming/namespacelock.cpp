#include "streaming/namespacelock.h"

#include "core/exceptions.h"
#include "core/rtlconsts.h"

namespace tavelo {

namespace {

constexpr int kMaxNesting = 200;

thread_local int tNesting = 0;
thread_local std::vector<std::vector<TComponent*>*> tLoadedStack;

}  // namespace

sys::TCriticalSection& NameSpaceLock() {
  static sys::TCriticalSection lock;
  return lock;
}

TNesting::TNesting() {
  if (++tNesting > kMaxNesting) {
    --tNesting;
    throw EReadError(SReadError);
  }
}

TNesting::~TNesting() { --tNesting; }

TLoadedListScope::TLoadedListScope() { tLoadedStack.push_back(&list_); }
TLoadedListScope::~TLoadedListScope() { tLoadedStack.pop_back(); }

std::vector<TComponent*>* CurrentLoadedList() { return tLoadedStack.empty() ? nullptr : tLoadedStack.back(); }

}  // namespace tavelo
