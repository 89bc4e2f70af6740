#include "Actions/WalkAroundBallL.h"

WalkAroundBallL::WalkAroundBallL() : SineAction("WalkAroundBallL") {}
