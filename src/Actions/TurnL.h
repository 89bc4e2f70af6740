#ifndef TOVRA_ACTIONS_TURNL_H
#define TOVRA_ACTIONS_TURNL_H

#include "Actions/SineAction.h"

// Turning on the spot to the left, sine file "TurnL".
class TurnL : public SineAction {
public:
    TurnL();
};

#endif
