#include "Actions/WalkAroundBallR.h"

WalkAroundBallR::WalkAroundBallR() : SineAction("WalkAroundBallR") {}
