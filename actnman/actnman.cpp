// TODO: filled in the next steps.
#include "actnman/actnman.h"

#include "core/publish.h"

namespace tavelo {
TAVELO_CLASS_IMPL(TActionBars)
TAVELO_CLASS_IMPL(TActionBarItem)
TAVELO_CLASS_IMPL(TActionListItem)
TAVELO_CLASS_IMPL(TActionListCollection)
TAVELO_CLASS_IMPL(TCustomActionManager)
TAVELO_CLASS_IMPL(TActionManager)
}  // namespace tavelo
