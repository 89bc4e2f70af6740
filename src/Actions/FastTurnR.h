#ifndef TOVRA_ACTIONS_FASTTURNR_H
#define TOVRA_ACTIONS_FASTTURNR_H

#include "Actions/SineAction.h"

// Fast turn to the right, sine file "FastTurnR".
class FastTurnR : public SineAction {
public:
    FastTurnR();
};

#endif
