#ifndef TOVRA_ACTIONS_WALKSLOWRIGHT_H
#define TOVRA_ACTIONS_WALKSLOWRIGHT_H

#include "Actions/SineAction.h"

// Slow sideways walk to the right, sine file "WalkSlowRight".
class WalkSlowRight : public SineAction {
public:
    WalkSlowRight();
};

#endif
