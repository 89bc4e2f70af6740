#ifndef TOVRA_ACTIONS_WALKAROUNDBALLL_H
#define TOVRA_ACTIONS_WALKAROUNDBALLL_H

#include "Actions/SineAction.h"

// Circling the ball to the left, sine file "WalkAroundBallL".
class WalkAroundBallL : public SineAction {
public:
    WalkAroundBallL();
};

#endif
