#ifndef TOVRA_ACTIONS_SINEACTIONS_H
#define TOVRA_ACTIONS_SINEACTIONS_H

#include <string>
#include <vector>

#include "Actions/Action.h"

// The sine family: periodic motions played from a sum of sine waves per
// joint, "./Acts/<name>.txt". Each fades in after "start" and out after "end"
// with the amplitude factor shared by all sine motions; without an order one
// call sequence plays one period.
class SineAction : public FileAction {
public:
    std::string execute(std::vector<std::string> params) override;

protected:
    using FileAction::FileAction;
};

// The members, each playing the sine file named after its class.

// Turning on the spot to the left.
class TurnL : public SineAction {
public:
    TurnL() : SineAction("TurnL") {}
};

// Turning on the spot to the right.
class TurnR : public SineAction {
public:
    TurnR() : SineAction("TurnR") {}
};

// Fast turn to the left.
class FastTurnL : public SineAction {
public:
    FastTurnL() : SineAction("FastTurnL") {}
};

// Fast turn to the right.
class FastTurnR : public SineAction {
public:
    FastTurnR() : SineAction("FastTurnR") {}
};

// Slow turn to the left.
class SlowTurnL : public SineAction {
public:
    SlowTurnL() : SineAction("SlowTurnL") {}
};

// Slow turn to the right.
class SlowTurnR : public SineAction {
public:
    SlowTurnR() : SineAction("SlowTurnR") {}
};

// Large turn to the left.
class LargeTurnL : public SineAction {
public:
    LargeTurnL() : SineAction("LargeTurnL") {}
};

// Large turn to the right.
class LargeTurnR : public SineAction {
public:
    LargeTurnR() : SineAction("LargeTurnR") {}
};

// Forward walk.
class WalkForward : public SineAction {
public:
    WalkForward() : SineAction("WalkForward") {}
};

// Fast forward walk.
class WalkFast : public SineAction {
public:
    WalkFast() : SineAction("WalkFast") {}
};

// Forward walk with small steps.
class MiniWalkForward : public SineAction {
public:
    MiniWalkForward() : SineAction("MiniWalkForward") {}
};

// Backward walk.
class WalkBackward : public SineAction {
public:
    WalkBackward() : SineAction("WalkBackward") {}
};

// Sideways walk to the left.
class WalkLeft : public SineAction {
public:
    WalkLeft() : SineAction("WalkLeft") {}
};

// Fast sideways walk to the left.
class WalkFastLeft : public SineAction {
public:
    WalkFastLeft() : SineAction("WalkFastLeft") {}
};

// Slow sideways walk to the left.
class WalkSlowLeft : public SineAction {
public:
    WalkSlowLeft() : SineAction("WalkSlowLeft") {}
};

// Sideways walk to the right.
class WalkRight : public SineAction {
public:
    WalkRight() : SineAction("WalkRight") {}
};

// Fast sideways walk to the right.
class WalkFastRight : public SineAction {
public:
    WalkFastRight() : SineAction("WalkFastRight") {}
};

// Slow sideways walk to the right.
class WalkSlowRight : public SineAction {
public:
    WalkSlowRight() : SineAction("WalkSlowRight") {}
};

// Circling the ball to the left.
class WalkAroundBallL : public SineAction {
public:
    WalkAroundBallL() : SineAction("WalkAroundBallL") {}
};

// Circling the ball to the right.
class WalkAroundBallR : public SineAction {
public:
    WalkAroundBallR() : SineAction("WalkAroundBallR") {}
};

// Stepping on the spot.
class Step : public SineAction {
public:
    Step() : SineAction("Step") {}
};

#endif
