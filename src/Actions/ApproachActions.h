#ifndef TOVRA_ACTIONS_APPROACHACTIONS_H
#define TOVRA_ACTIONS_APPROACHACTIONS_H

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "Actions/Action.h"

// The approach-then-replay family. A scripted motion: a computed approach that brings the arms and
// legs (and for some scripts the head) to a start posture in a fixed number of cycles, followed by
// the replay of recorded command lines kept from a script file. The script is read once, at
// construction: every line starting with "(" up to a per-script limit.
class ApproachAction : public Action {
public:
    std::string execute(std::vector<std::string> params) override;

    // Approach cycles done, script lines sent, script lines kept.
    int getCounter() const { return counter; }
    std::size_t getLineIndex() const { return lineIndex; }
    std::size_t getLineCount() const { return lines.size(); }

protected:
    struct Script {
        std::string name;      // the class name, used in diagnostics
        std::string fileName;  // the script file
        int cycles;            // approach cycles
        bool driveHead;        // the approach also drives "he1" and "he2"
        std::size_t maxLines;  // script lines kept at most
        bool replay;           // the script lines are sent after the approach
        bool printIndex;       // each sent line's index goes to standard output
        std::vector<std::pair<JointID, double>> targets;  // degrees; others 0
    };

    explicit ApproachAction(const Script& script);

private:
    void readScript();
    void appendApproach(std::string& text, JointID joint) const;

    Script mScript;
    double target[JID_MAX];
    std::vector<std::string> lines;
    bool readable;
    int counter;
    std::size_t lineIndex;
};

// Getting up after a fall on the back: 36 approach cycles (head included) to
// the start posture, then the script "./Acts/GetUpBack.txt" (at most 100
// lines).
class GetUpBack : public ApproachAction {
public:
    GetUpBack();
};

// Side kick with the left leg: 25 approach cycles to the start posture, then
// the script "./Acts/KickL.txt" (at most 300 lines; each sent line's index is
// written on standard output).
class KickL : public ApproachAction {
public:
    KickL();
};

// Side kick with the right leg: 25 approach cycles to the start posture, then
// the script "./Acts/KickR.txt" (at most 300 lines).
class KickR : public ApproachAction {
public:
    KickR();
};

// Brings every arm and leg joint to 0 degrees, the shoulders to -90, in 25
// cycles. "./Acts/SetToZero.txt" is kept but never sent, so the motion does
// not need it.
class SetToZero : public ApproachAction {
public:
    SetToZero();
};

#endif
