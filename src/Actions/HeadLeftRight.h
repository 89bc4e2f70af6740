#ifndef TOVRA_ACTIONS_HEADLEFTRIGHT_H
#define TOVRA_ACTIONS_HEADLEFTRIGHT_H

#include <string>
#include <vector>

#include "Actions/Action.h"

// Sweeps the head pan joint to one side (+120 or -120 degrees) to look for
// landmarks and back to the centre. Without landmarks it keeps sweeping from
// side to side; once enough landmarks have been seen it ends at the centre.
class HeadLeftRight : public Action {
public:
    enum MoveTo { NONE, LEFT, RIGHT };
    enum Phase { MOVE, RETURN };

    HeadLeftRight();

    std::string execute(std::vector<std::string> params) override;

    MoveTo getDirection() const { return direction; }
    Phase getPhase() const { return mPhase; }

private:
    // The side to sweep to from the landmarks seen in the last 0.07 s.
    MoveTo chooseDirection() const;

    MoveTo direction;
    Phase mPhase;
    bool seen;
};

#endif
