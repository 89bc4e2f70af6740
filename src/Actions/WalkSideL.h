#ifndef TOVRA_ACTIONS_WALKSIDEL_H
#define TOVRA_ACTIONS_WALKSIDEL_H

#include "Actions/RecordedAction.h"

// Side steps to the left, recorded command file "WalkSideL".
class WalkSideL : public RecordedAction {
public:
    WalkSideL();
};

#endif
