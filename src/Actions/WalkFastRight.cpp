#include "Actions/WalkFastRight.h"

WalkFastRight::WalkFastRight() : SineAction("WalkFastRight") {}
