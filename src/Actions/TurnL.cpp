#include "Actions/TurnL.h"

TurnL::TurnL() : SineAction("TurnL") {}
