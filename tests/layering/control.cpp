// Permitted: the platform layer sees the core below it.
#include "core/LC.h"
