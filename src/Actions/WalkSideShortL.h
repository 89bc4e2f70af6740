#ifndef TOVRA_ACTIONS_WALKSIDESHORTL_H
#define TOVRA_ACTIONS_WALKSIDESHORTL_H

#include "Actions/MatrixAction.h"

// A short side step to the left, key-frame table "WalkSideShortL".
class WalkSideShortL : public MatrixAction {
public:
    WalkSideShortL();
};

#endif
