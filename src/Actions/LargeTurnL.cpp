#include "Actions/LargeTurnL.h"

LargeTurnL::LargeTurnL() : SineAction("LargeTurnL") {}
