#include "Actions/FastTurnL.h"

FastTurnL::FastTurnL() : SineAction("FastTurnL") {}
