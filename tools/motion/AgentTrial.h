#ifndef TOVRA_TOOLS_MOTION_AGENTTRIAL_H
#define TOVRA_TOOLS_MOTION_AGENTTRIAL_H

#include <string>

#include "SimProcess.h"

namespace tovra::motion {

// What a run of the whole agent is asked to show.
struct AgentSpec {
    enum class Scenario {
        Knock,    // knocked over in play: does it get up by itself?
        Dribble,  // ball ahead on the field: does it score?
    };
    Scenario scenario = Scenario::Knock;
    int unum = 7;
    double ballX = 10;  // Dribble: ball placement (absolute frame)
    double ballY = 0;
    double robotX = 9;  // where the robot is placed when play starts
    double robotY = 0;
    bool onBack = true;  // Knock: lying on the back (else on the front)
    double limit = 90;   // seconds of play observed at most
    unsigned seed = 1;   // small random changes of the placements; the sensor noise
    SimSettings sim;
    std::string simBinary;
    std::string agentBinary;
};

struct AgentResult {
    bool ran = false;
    std::string error;
    double upAt = -1;    // Knock: seconds from the knock until up for good
    double goalAt = -1;  // Dribble: seconds from the start of play until the goal
    double ballX = 0;    // where the ball ended
};

// Runs the agent program itself (tovra) against a simulator started for the
// run, and steers the scenario through the control channel: the play mode,
// the placements, the knock.
class AgentTrial {
public:
    explicit AgentTrial(const AgentSpec& spec) : spec_(spec) {}
    AgentResult run();

private:
    AgentSpec spec_;
};

std::string describe(const AgentResult& r);

}  // namespace tovra::motion

#endif
