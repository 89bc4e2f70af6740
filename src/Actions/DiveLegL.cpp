#include "Actions/DiveLegL.h"

DiveLegL::DiveLegL() : MatrixAction("DiveLegL") {}
