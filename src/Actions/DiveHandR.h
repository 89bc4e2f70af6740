#ifndef TOVRA_ACTIONS_DIVEHANDR_H
#define TOVRA_ACTIONS_DIVEHANDR_H

#include "Actions/MatrixAction.h"

// Goalkeeper dive to the right reaching with the hands, key-frame table "DiveHandR".
class DiveHandR : public MatrixAction {
public:
    DiveHandR();
};

#endif
