#include "Actions/WalkLeft.h"

WalkLeft::WalkLeft() : SineAction("WalkLeft") {}
