#include "Actions/GetUpLeft.h"

GetUpLeft::GetUpLeft() : MatrixAction("GetUpLeft") {}
