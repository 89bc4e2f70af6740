#include "Actions/DefendGoalL.h"

DefendGoalL::DefendGoalL() : MatrixAction("DefendGoalL") {}
