// Shared by the two sides of the system seam; not for the rest of the core.
#pragma once

#include "core/system.h"

namespace tavelo::sys {

bool FindRegisteredResource(const String& name, int type, const void*& data, std::int32_t& size);

}  // namespace tavelo::sys
