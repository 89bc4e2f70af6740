#ifndef TOVRA_ACTIONS_WALKFASTLEFT_H
#define TOVRA_ACTIONS_WALKFASTLEFT_H

#include "Actions/SineAction.h"

// Fast sideways walk to the left, sine file "WalkFastLeft".
class WalkFastLeft : public SineAction {
public:
    WalkFastLeft();
};

#endif
