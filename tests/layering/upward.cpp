// Refused: the services layer sits above the platform layer.
#include "services/Lib3.h"
