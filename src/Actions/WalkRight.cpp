#include "Actions/WalkRight.h"

WalkRight::WalkRight() : SineAction("WalkRight") {}
