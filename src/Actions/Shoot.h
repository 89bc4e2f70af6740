#ifndef TOVRA_ACTIONS_SHOOT_H
#define TOVRA_ACTIONS_SHOOT_H

#include "Actions/MatrixAction.h"

// A straight shot, key-frame table "Shoot".
class Shoot : public MatrixAction {
public:
    Shoot();
};

#endif
