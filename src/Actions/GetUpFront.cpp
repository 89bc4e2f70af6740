#include "Actions/GetUpFront.h"

GetUpFront::GetUpFront() : MatrixAction("GetUpFront") {}
