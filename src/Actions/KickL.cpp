#include "Actions/KickL.h"

KickL::KickL()
    : ApproachAction(Script{"KickL",
                            "./Acts/KickL.txt",
                            25,
                            false,
                            300,
                            true,
                            true,
                            {{JID_LLEG_3, 9.17},
                             {JID_LLEG_4, -34.38},
                             {JID_LLEG_5, 25.78},
                             {JID_RLEG_3, 9},
                             {JID_RLEG_4, -34.39},
                             {JID_RLEG_5, 25.75},
                             {JID_LARM_1, -90},
                             {JID_LARM_2, 23},
                             {JID_RARM_1, -90},
                             {JID_RARM_2, 22.92}}}) {}
