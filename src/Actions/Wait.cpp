#include "Actions/Wait.h"

Wait::Wait() : MatrixAction("Wait") {}
