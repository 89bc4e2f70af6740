#ifndef TOVRA_ACTIONS_WALKSLOWLEFT_H
#define TOVRA_ACTIONS_WALKSLOWLEFT_H

#include "Actions/SineAction.h"

// Slow sideways walk to the left, sine file "WalkSlowLeft".
class WalkSlowLeft : public SineAction {
public:
    WalkSlowLeft();
};

#endif
