#ifndef TOVRA_ACTIONS_SINEACTION_H
#define TOVRA_ACTIONS_SINEACTION_H

#include <string>
#include <vector>

#include "Actions/Action.h"

// A periodic motion played from a sum of sine waves per joint,
// "./Acts/<name>.txt". It fades in after "start" and out after "end" with
// the amplitude factor shared by all sine motions; without an order one call
// sequence plays one period.
class SineAction : public Action {
public:
    std::string execute(std::vector<std::string> params) override;

    // Seconds into the current period.
    double getTime() const { return time; }

protected:
    explicit SineAction(const std::string& name);

    std::vector<std::string> dataFile;
    double time;
};

#endif
