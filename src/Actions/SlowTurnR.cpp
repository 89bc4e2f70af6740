#include "Actions/SlowTurnR.h"

SlowTurnR::SlowTurnR() : SineAction("SlowTurnR") {}
