#include "Actions/DiveLegR.h"

DiveLegR::DiveLegR() : MatrixAction("DiveLegR") {}
