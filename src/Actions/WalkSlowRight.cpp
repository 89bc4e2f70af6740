#include "Actions/WalkSlowRight.h"

WalkSlowRight::WalkSlowRight() : SineAction("WalkSlowRight") {}
