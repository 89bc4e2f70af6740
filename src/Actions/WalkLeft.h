#ifndef TOVRA_ACTIONS_WALKLEFT_H
#define TOVRA_ACTIONS_WALKLEFT_H

#include "Actions/SineAction.h"

// Sideways walk to the left, sine file "WalkLeft".
class WalkLeft : public SineAction {
public:
    WalkLeft();
};

#endif
