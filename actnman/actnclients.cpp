// TODO: filled in the next steps.
#include "actnman/actnclients.h"

#include "core/publish.h"

namespace tavelo {
TAVELO_CLASS_IMPL(TActionClientsCollection)
TAVELO_CLASS_IMPL(TActionClient)
TAVELO_CLASS_IMPL(TActionClientItem)
TAVELO_CLASS_IMPL(TActionClients)
TAVELO_CLASS_IMPL(TActionClientLink)
}  // namespace tavelo
