#include "Actions/LieFront.h"

LieFront::LieFront() : MatrixAction("LieFront") {}
