// All of the component streams at once, for the core sources that still include it: new code
// includes the header of what it uses (reader.h, writer.h, fixups.h, resources.h,
// valueformat.h).
#pragma once

#include "streaming/fixups.h"
#include "streaming/reader.h"
#include "streaming/resources.h"
#include "streaming/writer.h"
