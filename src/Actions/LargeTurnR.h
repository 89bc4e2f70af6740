#ifndef TOVRA_ACTIONS_LARGETURNR_H
#define TOVRA_ACTIONS_LARGETURNR_H

#include "Actions/SineAction.h"

// Large turn to the right, sine file "LargeTurnR".
class LargeTurnR : public SineAction {
public:
    LargeTurnR();
};

#endif
