#ifndef TOVRA_ACTIONS_RECORDEDACTIONS_H
#define TOVRA_ACTIONS_RECORDEDACTIONS_H

#include <string>
#include <vector>

#include "Actions/Action.h"

// The recorded family: motions replayed from recorded command lines,
// "./Acts/<name>.txt": one complete command text per line and cycle.
class RecordedAction : public FileAction {
public:
    std::string execute(std::vector<std::string> params) override;

protected:
    using FileAction::FileAction;
};

// The members, each playing the recorded command file named after its class.

// Side steps to the left.
class WalkSideL : public RecordedAction {
public:
    WalkSideL() : RecordedAction("WalkSideL") {}
};

// Side steps to the right.
class WalkSideR : public RecordedAction {
public:
    WalkSideR() : RecordedAction("WalkSideR") {}
};

#endif
