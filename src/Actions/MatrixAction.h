#ifndef TOVRA_ACTIONS_MATRIXACTION_H
#define TOVRA_ACTIONS_MATRIXACTION_H

#include <string>
#include <vector>

#include "Actions/Action.h"

// A motion played from a key-frame table "./Acts/<name>.txt", read again on
// every call: segments with start and end times, one target angle per joint
// row and segment.
class MatrixAction : public Action {
public:
    std::string execute(std::vector<std::string> params) override;

    // Seconds into the motion.
    double getTime() const { return time; }

protected:
    explicit MatrixAction(const std::string& name);

    std::vector<std::string> dataFile;
    double time;
};

#endif
