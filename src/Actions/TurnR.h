#ifndef TOVRA_ACTIONS_TURNR_H
#define TOVRA_ACTIONS_TURNR_H

#include "Actions/SineAction.h"

// Turning on the spot to the right, sine file "TurnR".
class TurnR : public SineAction {
public:
    TurnR();
};

#endif
