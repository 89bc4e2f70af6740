#include "Actions/Shoot.h"

Shoot::Shoot() : MatrixAction("Shoot") {}
