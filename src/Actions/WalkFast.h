#ifndef TOVRA_ACTIONS_WALKFAST_H
#define TOVRA_ACTIONS_WALKFAST_H

#include "Actions/SineAction.h"

// Fast forward walk, sine file "WalkFast".
class WalkFast : public SineAction {
public:
    WalkFast();
};

#endif
