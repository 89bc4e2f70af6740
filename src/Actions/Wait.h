#ifndef TOVRA_ACTIONS_WAIT_H
#define TOVRA_ACTIONS_WAIT_H

#include "Actions/MatrixAction.h"

// Standing ready, key-frame table "Wait".
class Wait : public MatrixAction {
public:
    Wait();
};

#endif
