#ifndef TOVRA_ACTIONS_SETTOZERO_H
#define TOVRA_ACTIONS_SETTOZERO_H

#include "Actions/ApproachAction.h"

// Brings every arm and leg joint to 0 degrees, the shoulders to -90, in 25 cycles.
// "./Acts/SetToZero.txt" is kept but never sent, so the motion does not need it.
class SetToZero : public ApproachAction {
public:
    SetToZero();
};

#endif
