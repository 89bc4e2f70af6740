#include "Actions/GetUpBack.h"

GetUpBack::GetUpBack()
    : ApproachAction(Script{"GetUpBack",
                            "./Acts/GetUpBack.txt",
                            36,
                            true,
                            100,
                            true,
                            false,
                            {{JID_LLEG_3, 10},
                             {JID_LLEG_5, -5.74},
                             {JID_RLEG_3, 10},
                             {JID_RLEG_5, -5.74},
                             {JID_LARM_1, -80},
                             {JID_LARM_2, -5},
                             {JID_RARM_1, -80},
                             {JID_RARM_2, 5}}}) {}
