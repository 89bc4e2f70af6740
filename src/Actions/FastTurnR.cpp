#include "Actions/FastTurnR.h"

FastTurnR::FastTurnR() : SineAction("FastTurnR") {}
