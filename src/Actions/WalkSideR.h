#ifndef TOVRA_ACTIONS_WALKSIDER_H
#define TOVRA_ACTIONS_WALKSIDER_H

#include "Actions/RecordedAction.h"

// Side steps to the right, recorded command file "WalkSideR".
class WalkSideR : public RecordedAction {
public:
    WalkSideR();
};

#endif
