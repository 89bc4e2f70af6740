#ifndef TOVRA_ACTIONS_WALKAROUNDBALLR_H
#define TOVRA_ACTIONS_WALKAROUNDBALLR_H

#include "Actions/SineAction.h"

// Circling the ball to the right, sine file "WalkAroundBallR".
class WalkAroundBallR : public SineAction {
public:
    WalkAroundBallR();
};

#endif
