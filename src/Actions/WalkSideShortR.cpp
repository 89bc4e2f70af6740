#include "Actions/WalkSideShortR.h"

WalkSideShortR::WalkSideShortR() : MatrixAction("WalkSideShortR") {}
