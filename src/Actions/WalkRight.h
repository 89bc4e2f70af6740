#ifndef TOVRA_ACTIONS_WALKRIGHT_H
#define TOVRA_ACTIONS_WALKRIGHT_H

#include "Actions/SineAction.h"

// Sideways walk to the right, sine file "WalkRight".
class WalkRight : public SineAction {
public:
    WalkRight();
};

#endif
