#include "Actions/WalkSideR.h"

WalkSideR::WalkSideR() : RecordedAction("WalkSideR") {}
