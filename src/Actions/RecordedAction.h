#ifndef TOVRA_ACTIONS_RECORDEDACTION_H
#define TOVRA_ACTIONS_RECORDEDACTION_H

#include <string>
#include <vector>

#include "Actions/Action.h"

// A motion replayed from recorded command lines, "./Acts/<name>.txt": one
// complete command text per line and cycle.
class RecordedAction : public Action {
public:
    std::string execute(std::vector<std::string> params) override;

    double getTime() const { return time; }

protected:
    explicit RecordedAction(const std::string& name);

    std::vector<std::string> dataFile;
    double time;
};

#endif
