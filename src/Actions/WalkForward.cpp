#include "Actions/WalkForward.h"

WalkForward::WalkForward() : SineAction("WalkForward") {}
