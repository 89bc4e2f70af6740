#include "Actions/DiveHandR.h"

DiveHandR::DiveHandR() : MatrixAction("DiveHandR") {}
