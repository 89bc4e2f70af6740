#include "Actions/WalkSideL.h"

WalkSideL::WalkSideL() : RecordedAction("WalkSideL") {}
