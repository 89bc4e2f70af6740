#include "Agent_Roles/RoleMidForward.h"

RoleMidForward::ClassState RoleMidForward::sState;
RoleMidForward* RoleMidForward::handleT = nullptr;

namespace {

// Intercept distance, get-behind distance, carrier from the list, slowing
// set-piece walk.
const RoleBackPlayer::Params kParams = {1.5, 1.0, false, false};

}  // namespace

RoleMidForward* RoleMidForward::instance() {
    if (handleT == nullptr) {
        handleT = new RoleMidForward();
    }
    return handleT;
}

void RoleMidForward::deleteT() {
    delete handleT;
    handleT = nullptr;
}

RoleMidForward::RoleMidForward() : RoleBackPlayer(sState, kParams) {}

void RoleMidForward::resetState() {
    sState = ClassState();
}
