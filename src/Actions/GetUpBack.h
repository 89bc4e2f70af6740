#ifndef TOVRA_ACTIONS_GETUPBACK_H
#define TOVRA_ACTIONS_GETUPBACK_H

#include "Actions/ApproachAction.h"

// Getting up after a fall on the back: 36 approach cycles (head included) to the start posture,
// then the script "./Acts/GetUpBack.txt" (at most 100 lines).
class GetUpBack : public ApproachAction {
public:
    GetUpBack();
};

#endif
