#ifndef TOVRA_ACTIONS_GETUPLEFT_H
#define TOVRA_ACTIONS_GETUPLEFT_H

#include "Actions/MatrixAction.h"

// Getting up after a fall on the left side, key-frame table "GetUpLeft".
class GetUpLeft : public MatrixAction {
public:
    GetUpLeft();
};

#endif
