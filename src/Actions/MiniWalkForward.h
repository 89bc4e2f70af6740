#ifndef TOVRA_ACTIONS_MINIWALKFORWARD_H
#define TOVRA_ACTIONS_MINIWALKFORWARD_H

#include "Actions/SineAction.h"

// Forward walk with small steps, sine file "MiniWalkForward".
class MiniWalkForward : public SineAction {
public:
    MiniWalkForward();
};

#endif
