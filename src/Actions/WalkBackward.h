#ifndef TOVRA_ACTIONS_WALKBACKWARD_H
#define TOVRA_ACTIONS_WALKBACKWARD_H

#include "Actions/SineAction.h"

// Backward walk, sine file "WalkBackward".
class WalkBackward : public SineAction {
public:
    WalkBackward();
};

#endif
