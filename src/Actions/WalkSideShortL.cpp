#include "Actions/WalkSideShortL.h"

WalkSideShortL::WalkSideShortL() : MatrixAction("WalkSideShortL") {}
