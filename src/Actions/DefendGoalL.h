#ifndef TOVRA_ACTIONS_DEFENDGOALL_H
#define TOVRA_ACTIONS_DEFENDGOALL_H

#include "Actions/MatrixAction.h"

// Goal defence to the left, key-frame table "DefendGoalL".
class DefendGoalL : public MatrixAction {
public:
    DefendGoalL();
};

#endif
