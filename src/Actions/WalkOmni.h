#ifndef TOVRA_ACTIONS_WALKOMNI_H
#define TOVRA_ACTIONS_WALKOMNI_H

#include <string>
#include <vector>

#include "Actions/Action.h"

// The omnidirectional walk: one cycle of the walk engine with the side, speed
// and turn held by the dispatcher. The text is empty in a cycle in which a
// walking step has finished and no new order has come.
class WalkOmni : public Action {
public:
    WalkOmni();

    std::string execute(std::vector<std::string> params) override;
};

#endif
