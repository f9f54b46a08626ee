// Must not compile: the names are not the elements in declaration order.
#include "core/typinfo.h"

enum TShape { shCircle, shSquare, shTriangle };
TAVELO_ENUM(TShape, shCircle, shTriangle, shSquare)
