#ifndef TOVRA_ACTIONS_DIVEHANDL_H
#define TOVRA_ACTIONS_DIVEHANDL_H

#include "Actions/MatrixAction.h"

// Goalkeeper dive to the left reaching with the hands, key-frame table "DiveHandL".
class DiveHandL : public MatrixAction {
public:
    DiveHandL();
};

#endif
