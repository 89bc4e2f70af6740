#ifndef TOVRA_ACTIONS_DIVELEGL_H
#define TOVRA_ACTIONS_DIVELEGL_H

#include "Actions/MatrixAction.h"

// Goalkeeper dive to the left blocking with the legs, key-frame table "DiveLegL".
class DiveLegL : public MatrixAction {
public:
    DiveLegL();
};

#endif
