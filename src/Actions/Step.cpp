#include "Actions/Step.h"

Step::Step() : SineAction("Step") {}
