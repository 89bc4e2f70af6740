#ifndef TOVRA_ACTIONS_WALKFORWARD_H
#define TOVRA_ACTIONS_WALKFORWARD_H

#include "Actions/SineAction.h"

// Forward walk, sine file "WalkForward".
class WalkForward : public SineAction {
public:
    WalkForward();
};

#endif
