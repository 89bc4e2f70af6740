#include "Actions/GetUpRight.h"

GetUpRight::GetUpRight() : MatrixAction("GetUpRight") {}
