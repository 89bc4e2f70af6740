#include "Actions/WalkSlowLeft.h"

WalkSlowLeft::WalkSlowLeft() : SineAction("WalkSlowLeft") {}
