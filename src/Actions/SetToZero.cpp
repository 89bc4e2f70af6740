#include "Actions/SetToZero.h"

SetToZero::SetToZero()
    : ApproachAction(Script{"SetToZero",
                            "./Acts/SetToZero.txt",
                            25,
                            false,
                            300,
                            false,
                            false,
                            {{JID_LARM_1, -90}, {JID_RARM_1, -90}}}) {}
