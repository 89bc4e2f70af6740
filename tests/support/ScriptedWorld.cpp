#include "support/ScriptedWorld.h"

#include <cmath>

#include "Actions/Actions.h"
#include "Actions/BhvBasicWalk.h"
#include "Actions/Walk.h"
#include "Skills/Skills.h"
#include "Tactic/Tactic.h"
#include "WorldModel/FallDownRecognition.h"
#include "WorldModel/Localization.h"
#include "WorldModel/WorldModel.h"
#include "support/ScratchDir.h"

namespace tovra::test {

namespace {

constexpr double kPi = 3.141592653589793;

}  // namespace

void ScriptedWorld::resetSingletons() {
    Tactic::deleteT();
    Skills::deleteT();
    Actions::deleteT();
    Walk::deleteT();
    FallDownRecognition::deleteT();
    Localization::deleteT();
    WorldModel::deleteT();
    BhvBasicWalk::resetState();
}

ScriptedWorld::ScriptedWorld(int unum) : dir_(std::make_unique<ScratchDir>()) {
    resetSingletons();
    wm_ = WorldModel::instance();
    wm_->setUnum(unum);
    wm_->setServerTime(100);
}

ScriptedWorld::~ScriptedWorld() {
    resetSingletons();
}

Actions* ScriptedWorld::acs() const {
    return Actions::getInstance();
}

void ScriptedWorld::setTime(double t) {
    wm_->setServerTime(t);
}

double ScriptedWorld::time() const {
    return wm_->getServerTime();
}

void ScriptedWorld::advance(double dt) {
    wm_->setServerTime(wm_->getServerTime() + dt);
}

void ScriptedWorld::placeMe(double x, double y, double angle, double age) {
    const Vector3f pos(static_cast<float>(x), static_cast<float>(y), 0.55f);
    wm_->setMyPos(pos);
    wm_->setMyAngle(angle);
    VisionSense& self = wm_->mObjectToVisionMap[wm_->getMyObject()];
    self.globalPos = pos;
    self.timeLastLocalized = time() - age;
}

void ScriptedWorld::setVision(Object obj, double x, double y, double seenAge) {
    VisionSense& entry = wm_->mObjectToVisionMap[obj];
    if (seenAge < 0) {
        return;
    }
    // The observation from the agent's pose with the head straight ahead.
    const Vector3f me = wm_->getMyPos();
    const double dx = x - me.x();
    const double dy = y - me.y();
    VisionSense vs;
    vs.distance = std::sqrt(dx * dx + dy * dy);
    vs.theta = std::atan2(dy, dx) * 180.0 / kPi - wm_->getMyAngle();
    while (vs.theta > 180) {
        vs.theta -= 360;
    }
    while (vs.theta <= -180) {
        vs.theta += 360;
    }
    vs.phi = 0;
    wm_->setObjectVision(obj, vs);
    entry.timeLastSeen = time() - seenAge;
}

void ScriptedWorld::placeBall(double x, double y, double seenAge, double localizedAge) {
    place(BALL, x, y, localizedAge, seenAge);
    wm_->mObjectToVisionMap[BALL].globalPos.z() = static_cast<float>(BallRadius);
}

void ScriptedWorld::placeBallRel(double rx, double ry, double seenAge, double localizedAge) {
    const Vector3f me = wm_->getMyPos();
    const double a = wm_->getMyAngle() * kPi / 180.0;
    placeBall(me.x() + rx * std::cos(a) - ry * std::sin(a),
              me.y() + rx * std::sin(a) + ry * std::cos(a), seenAge, localizedAge);
}

void ScriptedWorld::place(Object obj, double x, double y, double localizedAge, double seenAge) {
    VisionSense& entry = wm_->mObjectToVisionMap[obj];
    entry.globalPos = Vector3f(static_cast<float>(x), static_cast<float>(y), 0);
    entry.timeLastLocalized = localizedAge < 0 ? -1000 : time() - localizedAge;
    setVision(obj, x, y, seenAge);
}

void ScriptedWorld::setFallen(Object obj, bool fallen) {
    wm_->setIsObjectFallDown(obj, fallen);
}

ActionType ScriptedWorld::run(const std::function<std::string()>& skill) {
    Actions* acs = Actions::getInstance();
    acs->setCurAct(UNKNOWN);
    lastText_ = skill();
    if (lastText_.empty()) {
        acs->setCurAct(UNKNOWN);
        return UNKNOWN;
    }
    return acs->getCurAct();
}

}  // namespace tovra::test
