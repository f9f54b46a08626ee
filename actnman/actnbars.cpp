// TODO: filled in the next steps.
#include "actnman/actnbars.h"

#include "core/publish.h"

namespace tavelo {
TAVELO_CLASS_IMPL(TActionDragBaseClass)
TAVELO_CLASS_IMPL(TActionDragObject)
TAVELO_CLASS_IMPL(TActionItemDragObject)
TAVELO_CLASS_IMPL(TCategoryDragObject)
TAVELO_CLASS_IMPL(TCustomActionBar)
TAVELO_CLASS_IMPL(TCustomActionDockBar)
TAVELO_CLASS_IMPL(TCustomActionControl)
}  // namespace tavelo
