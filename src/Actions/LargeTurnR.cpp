#include "Actions/LargeTurnR.h"

LargeTurnR::LargeTurnR() : SineAction("LargeTurnR") {}
