#ifndef TOVRA_ACTIONS_DIVEBACK_H
#define TOVRA_ACTIONS_DIVEBACK_H

#include "Actions/MatrixAction.h"

// Goalkeeper dive backward, key-frame table "DiveBack".
class DiveBack : public MatrixAction {
public:
    DiveBack();
};

#endif
