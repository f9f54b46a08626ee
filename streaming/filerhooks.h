// The reader's and writer's side of core's TFilerHooks (core/filer.h).
#pragma once

namespace tavelo {

// Fills the table through which core's objects reach the reader and writer; each reader and
// writer calls it when made, so the table is full before anything can use it.
void InstallFilerHooks();

}  // namespace tavelo
