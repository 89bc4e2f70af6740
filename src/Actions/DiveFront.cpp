#include "Actions/DiveFront.h"

DiveFront::DiveFront() : MatrixAction("DiveFront") {}
