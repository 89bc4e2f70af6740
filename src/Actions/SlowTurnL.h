#ifndef TOVRA_ACTIONS_SLOWTURNL_H
#define TOVRA_ACTIONS_SLOWTURNL_H

#include "Actions/SineAction.h"

// Slow turn to the left, sine file "SlowTurnL".
class SlowTurnL : public SineAction {
public:
    SlowTurnL();
};

#endif
