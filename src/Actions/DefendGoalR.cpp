#include "Actions/DefendGoalR.h"

DefendGoalR::DefendGoalR() : MatrixAction("DefendGoalR") {}
