#include "Actions/SlowTurnL.h"

SlowTurnL::SlowTurnL() : SineAction("SlowTurnL") {}
