#ifndef TOVRA_ACTIONS_WALKSIDESHORTR_H
#define TOVRA_ACTIONS_WALKSIDESHORTR_H

#include "Actions/MatrixAction.h"

// A short side step to the right, key-frame table "WalkSideShortR".
class WalkSideShortR : public MatrixAction {
public:
    WalkSideShortR();
};

#endif
