#include "Actions/WalkFast.h"

WalkFast::WalkFast() : SineAction("WalkFast") {}
