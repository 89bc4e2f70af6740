#include "Actions/DiveBack.h"

DiveBack::DiveBack() : MatrixAction("DiveBack") {}
