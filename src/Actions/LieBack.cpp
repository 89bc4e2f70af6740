#include "Actions/LieBack.h"

LieBack::LieBack() : MatrixAction("LieBack") {}
