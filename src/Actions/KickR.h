#ifndef TOVRA_ACTIONS_KICKR_H
#define TOVRA_ACTIONS_KICKR_H

#include "Actions/ApproachAction.h"

// Side kick with the right leg: 25 approach cycles to the start posture, then the script
// "./Acts/KickR.txt" (at most 300 lines).
class KickR : public ApproachAction {
public:
    KickR();
};

#endif
