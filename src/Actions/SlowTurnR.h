#ifndef TOVRA_ACTIONS_SLOWTURNR_H
#define TOVRA_ACTIONS_SLOWTURNR_H

#include "Actions/SineAction.h"

// Slow turn to the right, sine file "SlowTurnR".
class SlowTurnR : public SineAction {
public:
    SlowTurnR();
};

#endif
