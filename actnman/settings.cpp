// TODO: filled in the next steps.
#include "actnman/actnman.h"
