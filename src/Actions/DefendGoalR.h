#ifndef TOVRA_ACTIONS_DEFENDGOALR_H
#define TOVRA_ACTIONS_DEFENDGOALR_H

#include "Actions/MatrixAction.h"

// Goal defence to the right, key-frame table "DefendGoalR".
class DefendGoalR : public MatrixAction {
public:
    DefendGoalR();
};

#endif
