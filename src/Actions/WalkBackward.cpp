#include "Actions/WalkBackward.h"

WalkBackward::WalkBackward() : SineAction("WalkBackward") {}
