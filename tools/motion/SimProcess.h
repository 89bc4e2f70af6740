#ifndef TOVRA_TOOLS_MOTION_SIMPROCESS_H
#define TOVRA_TOOLS_MOTION_SIMPROCESS_H

#include <sys/types.h>

#include <string>
#include <vector>

namespace tovra::motion {

// One tovra-sim process started for one run: lockstep, free ports, its
// standard error in a temporary file from which the ports are read.
class SimProcess {
public:
    SimProcess() = default;
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // Starts `binary` with the lockstep options and `extra`; waits until it
    // listens. False (with a line on standard error) when it does not start.
    bool start(const std::string& binary, const std::vector<std::string>& extra);
    // Ends the process (it is normally told to stop over the control
    // channel first) and removes the temporary file.
    void stop();

    int agentPort() const { return agentPort_; }
    int controlPort() const { return controlPort_; }
    // What the simulator wrote on standard error so far.
    std::string log() const;

private:
    bool readPorts();

    pid_t pid_ = -1;
    std::string logPath_;
    int agentPort_ = -1;
    int controlPort_ = -1;
};

// How a trial's simulator runs: sensor noise from the trial's seed (each
// trial noisy but repeatable) or none, the joint model ("velocity" or
// "setpoint"), physics substeps per step (0: the simulator's default), and
// for diagnosis a scale of the motors' torque limits.
struct SimSettings {
    bool noise = true;
    std::string servo = "velocity";
    int substeps = 0;
    double torqueScale = 1.0;  // a diagnostic: scaled motor torque limits
};
std::vector<std::string> trialSimOptions(const SimSettings& sim, unsigned seed);

}  // namespace tovra::motion

#endif
