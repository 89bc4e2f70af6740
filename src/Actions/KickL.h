#ifndef TOVRA_ACTIONS_KICKL_H
#define TOVRA_ACTIONS_KICKL_H

#include "Actions/ApproachAction.h"

// Side kick with the left leg: 25 approach cycles to the start posture, then the script
// "./Acts/KickL.txt" (at most 300 lines; each sent line's index is written on standard output).
class KickL : public ApproachAction {
public:
    KickL();
};

#endif
