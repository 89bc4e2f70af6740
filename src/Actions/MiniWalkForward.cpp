#include "Actions/MiniWalkForward.h"

MiniWalkForward::MiniWalkForward() : SineAction("MiniWalkForward") {}
