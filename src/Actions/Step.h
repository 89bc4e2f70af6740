#ifndef TOVRA_ACTIONS_STEP_H
#define TOVRA_ACTIONS_STEP_H

#include "Actions/SineAction.h"

// Stepping on the spot, sine file "Step".
class Step : public SineAction {
public:
    Step();
};

#endif
