#ifndef TOVRA_ACTIONS_FASTTURNL_H
#define TOVRA_ACTIONS_FASTTURNL_H

#include "Actions/SineAction.h"

// Fast turn to the left, sine file "FastTurnL".
class FastTurnL : public SineAction {
public:
    FastTurnL();
};

#endif
