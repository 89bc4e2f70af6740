#ifndef TOVRA_ACTIONS_MATRIXACTIONS_H
#define TOVRA_ACTIONS_MATRIXACTIONS_H

#include <string>
#include <vector>

#include "Actions/Action.h"

// The key-frame family: motions played from a key-frame table
// "./Acts/<name>.txt", read again on every call: segments with start and end
// times, one target angle per joint row and segment.
class MatrixAction : public FileAction {
public:
    std::string execute(std::vector<std::string> params) override;

protected:
    using FileAction::FileAction;
};

// The members, each playing the key-frame table named after its class.

// Goalkeeper dive forward.
class DiveFront : public MatrixAction {
public:
    DiveFront() : MatrixAction("DiveFront") {}
};

// Goalkeeper dive backward.
class DiveBack : public MatrixAction {
public:
    DiveBack() : MatrixAction("DiveBack") {}
};

// Goalkeeper dive to the left reaching with the hands.
class DiveHandL : public MatrixAction {
public:
    DiveHandL() : MatrixAction("DiveHandL") {}
};

// Goalkeeper dive to the right reaching with the hands.
class DiveHandR : public MatrixAction {
public:
    DiveHandR() : MatrixAction("DiveHandR") {}
};

// Goalkeeper dive to the left blocking with the legs.
class DiveLegL : public MatrixAction {
public:
    DiveLegL() : MatrixAction("DiveLegL") {}
};

// Goalkeeper dive to the right blocking with the legs.
class DiveLegR : public MatrixAction {
public:
    DiveLegR() : MatrixAction("DiveLegR") {}
};

// Goal defence to the left.
class DefendGoalL : public MatrixAction {
public:
    DefendGoalL() : MatrixAction("DefendGoalL") {}
};

// Goal defence to the right.
class DefendGoalR : public MatrixAction {
public:
    DefendGoalR() : MatrixAction("DefendGoalR") {}
};

// Lying down on the front.
class LieFront : public MatrixAction {
public:
    LieFront() : MatrixAction("LieFront") {}
};

// Lying down on the back.
class LieBack : public MatrixAction {
public:
    LieBack() : MatrixAction("LieBack") {}
};

// Getting up after a fall on the front.
class GetUpFront : public MatrixAction {
public:
    GetUpFront() : MatrixAction("GetUpFront") {}
};

// Getting up after a fall on the left side.
class GetUpLeft : public MatrixAction {
public:
    GetUpLeft() : MatrixAction("GetUpLeft") {}
};

// Getting up after a fall on the right side.
class GetUpRight : public MatrixAction {
public:
    GetUpRight() : MatrixAction("GetUpRight") {}
};

// A short side step to the left.
class WalkSideShortL : public MatrixAction {
public:
    WalkSideShortL() : MatrixAction("WalkSideShortL") {}
};

// A short side step to the right.
class WalkSideShortR : public MatrixAction {
public:
    WalkSideShortR() : MatrixAction("WalkSideShortR") {}
};

// A straight shot.
class Shoot : public MatrixAction {
public:
    Shoot() : MatrixAction("Shoot") {}
};

// Standing ready.
class Wait : public MatrixAction {
public:
    Wait() : MatrixAction("Wait") {}
};

#endif
