#include "actnman/actnclients.h"
