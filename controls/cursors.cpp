#include "controls/cursors.h"

namespace tavelo {

namespace {

// -22 has two names; crSizeAll comes first, so that is the one written.
const TIdentMapEntry kCursors[] = {
    {0, "crDefault"}, {-2, "crArrow"}, {-3, "crCross"}, {-4, "crIBeam"}, {-6, "crSizeNESW"},
    {-7, "crSizeNS"}, {-8, "crSizeNWSE"}, {-9, "crSizeWE"}, {-10, "crUpArrow"}, {-11, "crHourGlass"},
    {-12, "crDrag"}, {-13, "crNoDrop"}, {-14, "crHSplit"}, {-15, "crVSplit"}, {-16, "crMultiDrag"},
    {-17, "crSQLWait"}, {-18, "crNo"}, {-19, "crAppStart"}, {-20, "crHelp"}, {-21, "crHandPoint"},
    {-22, "crSizeAll"}, {-22, "crSize"}};

}  // namespace

bool CursorToIdent(int cursor, String& ident) { return IntToIdent(cursor, ident, kCursors); }
bool IdentToCursor(const String& ident, int& cursor) { return IdentToInt(ident, cursor, kCursors); }

TAVELO_INTEGER_TYPE_IMPL(TCursor, otSWord, -32768, 32767, IdentToCursor, CursorToIdent)

}  // namespace tavelo
