#include "Actions/DiveHandL.h"

DiveHandL::DiveHandL() : MatrixAction("DiveHandL") {}
