// Identifier maps: names for values of integer types (clBtnFace, DEFAULT_CHARSET, crArrow),
// registered with the type's metadata and used by the stream reader and writer.
#pragma once

#include <span>

#include "core/typinfo.h"

namespace tavelo {

// One row of a map table.
struct TIdentMapEntry {
  int Value;
  const char* Name;
};

using TIdentToInt = bool (*)(const String& ident, int& value);
using TIntToIdent = bool (*)(int value, String& ident);

// Appends the converters of a type to the process-wide list.
void RegisterIntegerConsts(const TTypeInfo* type, TIdentToInt identToInt, TIntToIdent intToIdent);
// The converters of that very type (the last registered wins), or null.
TIdentToInt FindIdentToInt(const TTypeInfo* type);
TIntToIdent FindIntToIdent(const TTypeInfo* type);

// The generic converters over a table: the first row whose name matches (ASCII case
// folded), or whose value matches.
bool IdentToInt(const String& ident, int& value, std::span<const TIdentMapEntry> map);
bool IntToIdent(int value, String& ident, std::span<const TIdentMapEntry> map);

}  // namespace tavelo
