#ifndef TOVRA_ACTIONS_DIVEFRONT_H
#define TOVRA_ACTIONS_DIVEFRONT_H

#include "Actions/MatrixAction.h"

// Goalkeeper dive forward, key-frame table "DiveFront".
class DiveFront : public MatrixAction {
public:
    DiveFront();
};

#endif
