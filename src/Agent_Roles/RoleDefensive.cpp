#include "Agent_Roles/RoleDefensive.h"

RoleDefensive::ClassState RoleDefensive::sState;
RoleDefensive* RoleDefensive::handleT = nullptr;

namespace {

// Intercept distance, get-behind distance, carrier from the list, slowing
// set-piece walk.
const RoleBackPlayer::Params kParams = {1.0, 1.5, true, true};

}  // namespace

RoleDefensive* RoleDefensive::instance() {
    if (handleT == nullptr) {
        handleT = new RoleDefensive();
    }
    return handleT;
}

void RoleDefensive::deleteT() {
    delete handleT;
    handleT = nullptr;
}

RoleDefensive::RoleDefensive() : RoleBackPlayer(sState, kParams) {}

void RoleDefensive::resetState() {
    sState = ClassState();
}
