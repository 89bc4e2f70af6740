#ifndef TOVRA_ACTIONS_LARGETURNL_H
#define TOVRA_ACTIONS_LARGETURNL_H

#include "Actions/SineAction.h"

// Large turn to the left, sine file "LargeTurnL".
class LargeTurnL : public SineAction {
public:
    LargeTurnL();
};

#endif
