#include "Actions/TurnR.h"

TurnR::TurnR() : SineAction("TurnR") {}
