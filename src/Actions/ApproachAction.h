#ifndef TOVRA_ACTIONS_APPROACHACTION_H
#define TOVRA_ACTIONS_APPROACHACTION_H

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "Actions/Action.h"

// A scripted motion: a computed approach that brings the arms and legs (and
// for some scripts the head) to a start posture in a fixed number of cycles,
// followed by the replay of recorded command lines kept from a script file.
// The script is read once, at construction: every line starting with "("
// up to a per-script limit.
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

#endif
