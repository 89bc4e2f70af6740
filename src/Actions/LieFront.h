#ifndef TOVRA_ACTIONS_LIEFRONT_H
#define TOVRA_ACTIONS_LIEFRONT_H

#include "Actions/MatrixAction.h"

// Lying down on the front, key-frame table "LieFront".
class LieFront : public MatrixAction {
public:
    LieFront();
};

#endif
