#ifndef TOVRA_ACTIONS_GETUPRIGHT_H
#define TOVRA_ACTIONS_GETUPRIGHT_H

#include "Actions/MatrixAction.h"

// Getting up after a fall on the right side, key-frame table "GetUpRight".
class GetUpRight : public MatrixAction {
public:
    GetUpRight();
};

#endif
