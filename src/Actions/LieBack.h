#ifndef TOVRA_ACTIONS_LIEBACK_H
#define TOVRA_ACTIONS_LIEBACK_H

#include "Actions/MatrixAction.h"

// Lying down on the back, key-frame table "LieBack".
class LieBack : public MatrixAction {
public:
    LieBack();
};

#endif
