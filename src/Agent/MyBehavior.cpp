#include "Agent/MyBehavior.h"

#include "Actions/Actions.h"
#include "Agent_Roles/RoleDefensive.h"
#include "Agent_Roles/RoleForward.h"
#include "Agent_Roles/RoleGoalie.h"
#include "Agent_Roles/RoleMidForward.h"
#include "Effector/Effector.h"
#include "Effector/Kinematic.h"
#include "Skills/Skills.h"
#include "WorldModel/Parser.h"
#include "WorldModel/Position.h"
#include "WorldModel/WorldModel.h"

MyBehavior::MyBehavior(int unum) : role{}, mBeamClockSet(false), fTime(0) {
    Types::fill();

    WM = WorldModel::instance();
    ACS = Actions::getInstance();
    SKS = Skills::getInstance();

    PS = new Parser();
    POS = new Position(ACS);

    WM->setTeamName(TeamName);
    WM->setUnum(unum);

    role[10] = new RoleForward();
    role[7] = new RoleForward();
    role[9] = new RoleForward();
    role[8] = new RoleForward();
    role[11] = new RoleForward();
    role[1] = new RoleGoalie();
    role[2] = new RoleGoalie();
    role[3] = new RoleDefensive();
    role[4] = new RoleDefensive();
    role[5] = new RoleMidForward();
    role[6] = new RoleMidForward();

    mInit = false;
}

MyBehavior::~MyBehavior() {
    // Role has no virtual destructor: each role goes through its own class.
    for (int u = 1; u <= kRoles; ++u) {
        if (u <= 2) {
            delete static_cast<RoleGoalie*>(role[u]);
        } else if (u <= 4) {
            delete static_cast<RoleDefensive*>(role[u]);
        } else if (u <= 6) {
            delete static_cast<RoleMidForward*>(role[u]);
        } else {
            delete static_cast<RoleForward*>(role[u]);
        }
        role[u] = nullptr;
    }
    delete POS;
    delete PS;
}

int MyBehavior::getUnum() const {
    return WM->getUnum();
}

Role* MyBehavior::getRole(int unum) const {
    return unum >= 1 && unum <= kRoles ? role[unum] : nullptr;
}

void MyBehavior::UpdatePositions() {
    WM->globalize();
}

std::string MyBehavior::Think(const std::string& message) {
    if (!mInit) {
        mInit = true;
        return ACS->init();
    }

    PS->doParse(message);
    Kinematic* kinematic = Kinematic::instance();
    kinematic->updateLink();
    Effector::instance()->updateJointAngle(kinematic->getLink());

    if (!mBeamClockSet) {
        mBeamClockSet = true;
        fTime = WM->getServerTime();
    }
    if (!WM->isBeamed()) {
        fTime = WM->getServerTime();
    }
    double dTime = WM->getServerTime() - fTime;
    // A time behind the window's start (the start was a bogus time stamp far
    // ahead) would keep the window silent until the play mode changes: the
    // window starts again from the current time.
    if (dTime < 0.0) {
        fTime = WM->getServerTime();
        dTime = 0.0;
    }

    UpdatePositions();

    // The beam window: half a second of silence, then half a second of beam
    // commands. A dTime that is not a number fails both tests.
    if (WM->canBeam() && dTime < 1.0) {
        POS->setFormation(F_NORMAL);
        WM->setBeamed();
        if (dTime < 0.5) {
            return std::string();
        }
        return POS->init();
    }

    Role* own = getRole(WM->getUnum());
    std::string reply;
    if (own != nullptr) {
        reply = own->execute(static_cast<RoleType>(WM->getUnum()));
    }
    if (reply.empty()) {
        reply = ACS->doAction(WAIT, HEAD_STILL);
    }
    if (own != nullptr) {
        reply += own->getSayInfo();
    }
    return reply;
}
