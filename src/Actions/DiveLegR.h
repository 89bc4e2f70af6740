#ifndef TOVRA_ACTIONS_DIVELEGR_H
#define TOVRA_ACTIONS_DIVELEGR_H

#include "Actions/MatrixAction.h"

// Goalkeeper dive to the right blocking with the legs, key-frame table "DiveLegR".
class DiveLegR : public MatrixAction {
public:
    DiveLegR();
};

#endif
