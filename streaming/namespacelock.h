// What all readings of the process share, and what a thread keeps while it reads: the name
// space lock, how deep the values and records being read nest, and the stack of loaded lists.
#pragma once

#include <vector>

#include "core/component.h"
#include "core/system.h"

namespace tavelo {

// Every root read, class-chain initialisation and global reference resolution holds it.
// Everything takes it for writing, so one recursive lock serves.
sys::TCriticalSection& NameSpaceLock();

// One more level of lists or component records on this thread for its scope. Past a depth no
// form reaches, the stream is taken for garbage: EReadError(SReadError) rather than a stack
// overflow.
class TNesting {
public:
  TNesting() {
    if (++depth_ > kMaxDepth) TooDeep();
  }
  ~TNesting() { --depth_; }
  TNesting(const TNesting&) = delete;
  TNesting& operator=(const TNesting&) = delete;

private:
  static constexpr int kMaxDepth = 200;
  // Inline, since every value skipped passes here.
  static inline thread_local int depth_ = 0;
  [[noreturn]] static void TooDeep();
};

// The loaded list of a class-chain initialisation on this thread: the root reads it makes
// append to it instead of keeping their own, and it leaves the thread's stack with its scope.
class TLoadedListScope {
public:
  TLoadedListScope();
  ~TLoadedListScope();
  TLoadedListScope(const TLoadedListScope&) = delete;
  TLoadedListScope& operator=(const TLoadedListScope&) = delete;
  std::vector<TComponent*>& List() { return list_; }

private:
  std::vector<TComponent*> list_;
};

// The loaded list of this thread's innermost class-chain initialisation, or null.
std::vector<TComponent*>* CurrentLoadedList();

}  // namespace tavelo
