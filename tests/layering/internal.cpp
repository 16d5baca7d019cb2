// Refused: the word layer is internal to core.
#include "Word.h"
