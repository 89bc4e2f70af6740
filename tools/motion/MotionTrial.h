#ifndef TOVRA_TOOLS_MOTION_MOTIONTRIAL_H
#define TOVRA_TOOLS_MOTION_MOTIONTRIAL_H

#include <string>

#include "SimProcess.h"
#include "WorldModel/Types.h"

namespace tovra::motion {

// How one run is set up and what the robot does in it.
struct TrialSpec {
    enum class Start { Stand, Back, Front, Left, Right };
    enum class Play { Action, Walk, Lines, StayUp, Idle, Skill };

    Start start = Start::Stand;
    Play play = Play::Action;
    ActionType action = WAIT;  // Play::Action
    ActionType after = WAIT;   // requested once the action is done
    // Play::Action: false plays the action once (it is requested on the
    // first cycle only), true requests it for holdTime seconds.
    bool hold = false;
    double holdTime = 0;
    double observeTime = 6;  // seconds from the start of the action
    double settleTime = -1;  // seconds before the action; < 0: by start pose
    ActionType pre = WAIT;   // requested for preTime seconds before the action
    double preTime = 0;
    ESide walkSide = SIDE_FORWARD_;  // Play::Walk: the omnidirectional walk
    double walkSpeed = 0;
    double walkTurn = 0;
    std::string linesFile;  // Play::Lines: one command text per cycle
    // Play::Skill: kickball (kickBall), sidekick (SideKick()) or dribble
    // (fastDribbleToPoint to the goal centre), the get-up skill while fallen.
    std::string skill;
    bool ball = false;  // ball placed relative to the robot at the start
    double ballForward = 0;
    double ballLeft = 0;
    double x = -5;  // placement in the absolute frame
    double y = 0;
    double heading = 0;
    bool jitter = true;  // small random changes of the start pose
    unsigned seed = 1;   // also the seed of the simulator's sensor noise
    SimSettings sim;
    double standHeight = 0.3;  // torso height that counts as up
    std::string logFile;       // per-cycle values as CSV, when not empty
    std::string simBinary;
    int unum = 1;
};

// What the simulator's ground truth and the agent's own fall detection
// showed over one run. Times are seconds from the start of the action.
struct TrialResult {
    bool ran = false;           // the run went through
    std::string error;          // why it did not
    bool uprightAtEnd = false;  // not fallen for the agent and torso high
    double upAt = -1;           // since when it stays up to the end; -1 never
    int falls = 0;              // from up (for 0.5 s) to lying
    double firstFallAt = -1;
    double minHeight = 0;
    double endHeight = 0;
    double actionEnd = -1;  // when the played action handed over
    double forward = 0;     // displacement in the start frame, metres
    double left = 0;
    double turned = 0;       // heading change, degrees, counter-clockwise
    double steadyTime = 0;   // the window of the steady rates below
    double forwardRate = 0;  // m/s over the steady window
    double leftRate = 0;
    double turnRate = 0;     // deg/s over the steady window
    double ballTravel = 0;   // horizontal, metres
    double ballForward = 0;  // along the robot's start heading
    double ballLeft = 0;
    double sideShift = 0;  // torso displacement to the robot's left within 1.5 s
    double turn90At = -1;  // when the heading had changed by 90 degrees; -1 never
};

// Runs one trial: starts a simulator, connects as an agent built from the
// agent's own libraries (parser, world model, kinematics, effector, action
// dispatcher, skills), places the robot, plays the motion through the
// dispatcher and measures it from the control channel.
class MotionTrial {
public:
    explicit MotionTrial(const TrialSpec& spec) : spec_(spec) {}
    TrialResult run();

private:
    TrialSpec spec_;
};

// One line describing a result.
std::string describe(const TrialResult& r);

}  // namespace tovra::motion

#endif
