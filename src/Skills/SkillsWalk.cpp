// The walk skills: the walk behaviour chooses a direction with its speed and
// turn, the skill sends the matching action.

#include "Actions/Actions.h"
#include "Actions/BhvBasicWalk.h"
#include "Skills/Skills.h"
#include "WorldModel/WorldModel.h"

namespace {

// The slow-down phase walks at the walk's minimum speed.
const double MinSpeed = 40.0;
// Turn per step while slowing down into a turn.
const double kSlowDownTurn = 3.0;
// Cycles at minimum speed before the phase ends.
const int kSlowDownCycles = 27;

bool isStraight(ESide side) {
    return side == SIDE_FORWARD_ || side == SIDE_BACKWARD_;
}

}  // namespace

std::string Skills::Walk_Omni() {
    drriblePhase = DRIBBLE_PUSH;
    WM->setDribbleBall(true);
    BhvBasicWalk walk(false);
    const ESide type = walk.execute();
    ACS->setType(type);
    const std::string result = sendWalk(type, false, true);
    Walk_Omni_WithNoTarget = true;
    Walk_Omni_Type = type;
    return result;
}

std::string Skills::Walk_Omni(Object obj) {
    // Every call walks at the ball whatever the argument.
    (void)obj;
    BhvBasicWalk walk(false);
    const ESide type = walk.execute();
    ACS->setType(type);
    const std::string result = sendWalk(type, true, true);
    WM->setDribbleBall(true);
    return result;
}

std::string Skills::Walk_Omni(const Vector3f& target) {
    BhvBasicWalk walk(target, true);
    const ESide type = walk.execute();
    ACS->setType(type);
    return sendWalk(type, false, true);
}

std::string Skills::Walk_Omni_SlowDown(const Vector3f& target) {
    SlowDownState& st = mSlowDown;
    if (!st.started) {
        // The first target is where the robot was heading anyway.
        st.oldTarGet = target;
        st.started = true;
    } else if (target.x() != st.oldTarGet.x() || target.y() != st.oldTarGet.y() ||
               target.z() != st.oldTarGet.z()) {
        st.oldTarGet = target;
        st.ifNewPoint = true;
    }

    setSlowDown(true);
    BhvBasicWalk walk(target, true);
    const ESide type = walk.execute();

    if (st.ifNewPoint || Walk_Omni_WithNoTarget || st.ForceSlowDown) {
        st.ifNewPoint = false;
        st.ForceSlowDown = true;
        const bool due = (type != st.oldType && isStraight(st.oldType)) || Walk_Omni_WithNoTarget;
        if (due) {
            // The sense the phase has been walking in. The cycle that ends the
            // phase sends one more slow step, and it keeps this sense: taken from
            // the new direction it would step backwards out of a forward walk
            // whenever the new direction is not forward.
            const bool forward = st.oldType == SIDE_FORWARD_ ||
                                 (Walk_Omni_WithNoTarget && Walk_Omni_Type == SIDE_FORWARD_);
            if (st.flagSpeed > kSlowDownCycles) {
                st.ForceSlowDown = false;
                Walk_Omni_WithNoTarget = false;
                st.oldType = type;
                st.flagSpeed = 0;
                st.speed = MinSpeed;
            }
            st.speed -= 2;
            if (st.speed <= MinSpeed) {
                st.speed = MinSpeed;
                ++st.flagSpeed;
            }
            ACS->setType(forward ? SIDE_FORWARD_ : SIDE_BACKWARD_);
            if (type == SIDE_TURNLEFT_) {
                ACS->setTurAng(kSlowDownTurn);
            } else if (type == SIDE_TURNRIGHT_) {
                ACS->setTurAng(-kSlowDownTurn);
            } else {
                ACS->setTurAng(0);
            }
            ACS->setSpeed(st.speed);
            return ACS->doAction(WALK_OMNI, HEAD_STILL);
        }
        st.ForceSlowDown = false;
    }

    st.oldType = type;
    ACS->setType(type);
    return sendWalk(type, false, false);
}
