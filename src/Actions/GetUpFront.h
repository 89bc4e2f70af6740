#ifndef TOVRA_ACTIONS_GETUPFRONT_H
#define TOVRA_ACTIONS_GETUPFRONT_H

#include "Actions/MatrixAction.h"

// Getting up after a fall on the front, key-frame table "GetUpFront".
class GetUpFront : public MatrixAction {
public:
    GetUpFront();
};

#endif
