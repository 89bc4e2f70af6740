#ifndef TOVRA_ACTIONS_WALKFASTRIGHT_H
#define TOVRA_ACTIONS_WALKFASTRIGHT_H

#include "Actions/SineAction.h"

// Fast sideways walk to the right, sine file "WalkFastRight".
class WalkFastRight : public SineAction {
public:
    WalkFastRight();
};

#endif
