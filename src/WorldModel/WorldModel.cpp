#include "WorldModel/WorldModel.h"

#include <cmath>

WorldModel* WorldModel::handleT = nullptr;

namespace {

// Freshly localized: refreshed within the last 0.04 s.
const double kFresh = 9.96;

double horizontalLength(const Vector3f& v) {
    return std::sqrt(static_cast<double>(v.x()) * v.x() + static_cast<double>(v.y()) * v.y());
}

double horizontalDistance(const Vector3f& a, const Vector3f& b) {
    return horizontalLength(a - b);
}

// Of the players first..last freshly localized, the one nearest the ball
// (horizontally, within 1000 m); `none` when there is none.
Object closestFreshToBall(const WorldModel& wm, Object first, Object last, Object none) {
    const Vector3f ball = wm.getBallPos();
    Object closest = none;
    double best = 1000;
    for (int obj = first; obj <= last; ++obj) {
        const Object o = static_cast<Object>(obj);
        if (wm.getGlobalConfidence(o) < kFresh) {
            continue;
        }
        const double d = horizontalDistance(wm.getObjectVision(o).globalPos, ball);
        if (d < best) {
            best = d;
            closest = o;
        }
    }
    return closest;
}

// Degrees into (-180, 180].
double normalizeAngle(double angle) {
    angle = gNormalizeDeg(angle);
    return angle == -180.0 ? 180.0 : angle;
}

}  // namespace

WorldModel* WorldModel::instance() {
    if (handleT == nullptr) {
        handleT = new WorldModel();
    }
    return handleT;
}

void WorldModel::deleteT() {
    delete handleT;
    handleT = nullptr;
}

WorldModel::WorldModel()
    : mServerTime(0),
      mGameTime(0),
      isDribbleBall(true),
      mGameState(PM_BeforeKickOff),
      mTeamSide(TEAM_LEFT),
      mTeamName(TeamName),
      unum(1),
      mTimeLastHeard(0),
      lTouchVal(0),
      rTouchVal(0),
      mBattery(0),
      mMyAngle(0),
      mCurrentCycle(0),
      beamed(false) {
    for (int obj = TEAMMATE_1; obj <= TEAMMATE_11; ++obj) {
        mIsFallDownMap[static_cast<Object>(obj)] = false;
    }
}

void WorldModel::setGameState(PlayMode mode) {
    if (mode != mGameState) {
        beamed = false;
    }
    mGameState = mode;
}

void WorldModel::setCommunicationString(const std::string& msg, double time) {
    mComStr = msg;
    mTimeLastHeard = time;
}

bool WorldModel::setObjectVision(Object obj, const VisionSense& vs) {
    VisionSense& entry = mObjectToVisionMap[obj];
    entry.distance = vs.distance;
    entry.theta = vs.theta;
    entry.phi = vs.phi;
    entry.localPos = Vector3f(static_cast<float>(vs.distance), static_cast<float>(vs.theta),
                              static_cast<float>(vs.phi), POLAR);
    entry.timeLastSeen = mServerTime;
    return true;
}

Object WorldModel::getMyObject() const {
    return getOurPlayer(unum);
}

Object WorldModel::getOurPlayer(int n) const {
    return static_cast<Object>(TEAMMATE_1 + n - 1);
}

const VisionSense* WorldModel::findVision(Object obj) const {
    const TObjectToVisionMap::const_iterator it = mObjectToVisionMap.find(obj);
    return it == mObjectToVisionMap.end() ? nullptr : &it->second;
}

VisionSense WorldModel::getObjectVision(Object obj) const {
    const VisionSense* vs = findVision(obj);
    return vs ? *vs : VisionSense();
}

double WorldModel::getObjectTimeLastSeen(Object obj) const {
    return getObjectVision(obj).timeLastSeen;
}

double WorldModel::getJointAngle(JointID joint) const {
    const TJointIDToAngleMap::const_iterator it = mJointIDToAngleMap.find(joint);
    return it == mJointIDToAngleMap.end() ? 0.0 : static_cast<double>(it->second);
}

bool WorldModel::setJointVel(JointID joint, double vel) {
    mySelf.setMyJointsVel(joint, vel);
    return true;
}

double WorldModel::getJointVel(JointID joint) const {
    return mySelf.getMyJointsVel(joint);
}

void WorldModel::setIsObjectFallDown(Object obj, bool fallen) {
    mIsFallDownMap[obj] = fallen;
}

bool WorldModel::getIsObjectFallDown(Object obj) const {
    const TIsFallDownMap::const_iterator it = mIsFallDownMap.find(obj);
    return it != mIsFallDownMap.end() && it->second;
}

sayDistanceToBallInfo WorldModel::getSayDisanceToBallInfo(Object obj) const {
    const int last = 12;
    const int index = (obj >= BALL && obj <= TEAMMATE_11) ? obj - BALL : last;
    return playerDistanceToBall[index];
}

double WorldModel::getLocalConfidence(Object obj) const {
    return 10.0 - (mServerTime - getObjectVision(obj).timeLastSeen);
}

double WorldModel::getGlobalConfidence(Object obj) const {
    return 10.0 - (mServerTime - getObjectVision(obj).timeLastLocalized);
}

double WorldModel::getGlobalConfidence() const {
    return getGlobalConfidence(getMyObject());
}

bool WorldModel::canBeam() const {
    return mGameState == PM_BeforeKickOff || mGameState == PM_Goal_Left ||
           mGameState == PM_Goal_Right;
}

bool WorldModel::getKickOffOther() const {
    if (mTeamSide == TEAM_LEFT) {
        return mGameState == PM_KickOff_Right || mGameState == PM_Goal_Left;
    }
    return mGameState == PM_KickOff_Left || mGameState == PM_Goal_Right;
}

bool WorldModel::getKickOffUs() const {
    if (mTeamSide == TEAM_LEFT) {
        return mGameState == PM_KickIn_Left || mGameState == PM_Goal_Right ||
               mGameState == PM_KickOff_Left;
    }
    return mGameState == PM_KickIn_Right || mGameState == PM_Goal_Left ||
           mGameState == PM_KickOff_Right;
}

Vector3f WorldModel::getBallPos() const {
    return getObjectVision(BALL).globalPos;
}

double WorldModel::getBallDist() const {
    return horizontalLength(getObjectVision(BALL).localPos);
}

bool WorldModel::canSeeBall() const {
    return getLocalConfidence(BALL) >= kFresh;
}

bool WorldModel::canSeeFlags() const {
    // Per end of the field (parity of the Object value): corner flags and
    // goal posts seen recently.
    int flags[2] = {0, 0};
    int posts[2] = {0, 0};
    for (int obj = FLAG_1L; obj <= GOAL_2R; ++obj) {
        const VisionSense* vs = findVision(static_cast<Object>(obj));
        if (vs == nullptr || !(vs->timeLastSeen >= mServerTime - 0.06)) {
            continue;
        }
        if (obj <= FLAG_2R) {
            ++flags[obj % 2];
        } else {
            ++posts[obj % 2];
        }
    }
    for (int end = 0; end < 2; ++end) {
        if (flags[end] + posts[end] >= 3 && flags[end] >= 1 && posts[end] >= 1) {
            return true;
        }
    }
    return false;
}

Vector3f WorldModel::getEnemyGoalPosition(int n) const {
    if (mTeamSide == TEAM_LEFT) {
        return getObjectVision(n == 1 ? GOAL_1R : GOAL_2R).globalPos;
    }
    return getObjectVision(n == 1 ? GOAL_1L : GOAL_2L).globalPos;
}

Vector3f WorldModel::getEnemyRelPosition(int n) const {
    if (mTeamSide == TEAM_LEFT) {
        return getObjectVision(n == 1 ? GOAL_1R : GOAL_2R).localPos;
    }
    return getObjectVision(n == 1 ? GOAL_1L : GOAL_2L).localPos;
}

Vector3f WorldModel::getEnemyGoalCenter() const {
    return (getEnemyGoalPosition(1) + getEnemyGoalPosition(2)) / 2.0f;
}

Object WorldModel::getOurClosestToBall() const {
    return closestFreshToBall(*this, TEAMMATE_1, TEAMMATE_11, getMyObject());
}

Object WorldModel::getEnemyClosestToBall() const {
    return closestFreshToBall(*this, OPPONENT_1, OPPONENT_11, OBJECT_MAX);
}

std::vector<Vector3f> WorldModel::getOppMap() const {
    std::vector<Vector3f> result;
    for (int obj = OPPONENT_1; obj <= OPPONENT_11; ++obj) {
        const Object o = static_cast<Object>(obj);
        if (getGlobalConfidence(o) >= kFresh) {
            result.push_back(getObjectVision(o).globalPos);
        }
    }
    return result;
}

double WorldModel::getBodyRelAngle(Object obj) const {
    return getObjectVision(obj).theta + getJointAngle(JID_HEAD_1);
}

double WorldModel::getBodyRelAngle(const Vector3f& pos) const {
    const double dx = static_cast<double>(pos.x()) - mMyPos.x();
    const double dy = static_cast<double>(pos.y()) - mMyPos.y();
    return normalizeAngle(gRadToDeg(std::atan2(dy, dx)) - mMyAngle);
}

Vector3f WorldModel::getBodyRelPos(Object obj) const {
    const VisionSense vs = getObjectVision(obj);
    const double d = horizontalLength(vs.localPos);
    const double a = gDegToRad(vs.theta + getJointAngle(JID_HEAD_1));
    return Vector3f(static_cast<float>(d * std::cos(a)), static_cast<float>(d * std::sin(a)), 0);
}

Vector3f WorldModel::getBodyRelPos(const Vector3f& pos) const {
    const double d = horizontalDistance(pos, mMyPos);
    const double a = gDegToRad(getBodyRelAngle(pos));
    return Vector3f(static_cast<float>(d * std::cos(a)), static_cast<float>(d * std::sin(a)), 0);
}

Vector3f WorldModel::translate(const Vector3f& rel) const {
    return mMyPos - R.Rotate(rel);
}

Vector3f WorldModel::getRelPos(const Vector3f& pos) const {
    const Vector3f ex = translate(Vector3f(1, 0, 0)) - mMyPos;
    const Vector3f ey = translate(Vector3f(0, 1, 0)) - mMyPos;
    Matrix look;
    look.LookAt(pos - mMyPos, -ey, -ex);
    return look.Pos();
}
