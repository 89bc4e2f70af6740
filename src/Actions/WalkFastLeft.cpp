#include "Actions/WalkFastLeft.h"

WalkFastLeft::WalkFastLeft() : SineAction("WalkFastLeft") {}
