#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "Actions/Walk.h"
#include "Effector/Effector.h"
#include "Effector/Kinematic.h"
#include "WorldModel/WorldModel.h"
#include "support/Capture.h"

namespace {

// EJointID slot of a JointID.
int linkOf(int joint) {
    if (joint <= JID_HEAD_2) {
        return joint + 2;
    }
    if (joint <= JID_RLEG_6) {
        return joint + 10;
    }
    return joint - 10;
}

// What happened in one simulated cycle.
struct Cycle {
    Walk::TPhase phaseBefore;
    Walk::TPhase phaseAfter;
    bool stepDone = false;    // the engine reported a finished step (empty text)
    bool legsDriven = false;  // leg velocities were commanded
    bool ikFailed = false;
    std::string text;
};

// Drives the walk engine open-loop against an ideal servo: each cycle the
// measured joint angles are the previous ones advanced by the commanded
// velocities for 0.02 s. Orders are given as the dispatcher gives them:
// "start" first, then "normal" in each cycle in which the engine reports a
// finished step, re-running the engine in that same cycle.
class OpenLoopWalk : public ::testing::Test {
protected:
    void SetUp() override {
        wm = WorldModel::instance();
        robot = Kinematic::instance();
        robot->init();
        effector = Effector::instance();
        for (int j = 0; j < JID_MAX; ++j) {
            wm->mJointIDToAngleMap[static_cast<JointID>(j)] = 0.0f;
        }
        beginCycle();
        Walk::deleteT();
        walk = Walk::instance();
        started = false;
    }

    void TearDown() override { Walk::deleteT(); }

    // What the think cycle does before any motion runs.
    void beginCycle() {
        time += 0.02;
        wm->setServerTime(time);
        effector->updateCycle();
        robot->updateLink();
        effector->updateJointAngle(robot->getLink());
        wm->globalize();
    }

    // The ideal servo: measured angles advance by velocity x 0.02 s.
    void endCycle() {
        const boost::shared_array<float> vel = effector->mJointVel;
        for (int j = 0; j < JID_MAX; ++j) {
            const JointID joint = static_cast<JointID>(j);
            wm->mJointIDToAngleMap[joint] += gRadToDeg(vel[linkOf(j)] * 0.02f);
        }
    }

    bool anyLegVelocity() const {
        for (int i = JID_LLEG_1_; i <= JID_RLEG_6_; ++i) {
            if (effector->mJointVel[i] != 0.0f) {
                return true;
            }
        }
        return false;
    }

    Cycle cycle(double ang, double speed, ESide side) {
        Cycle c;
        c.phaseBefore = walk->getWalkPhase();
        if (!started) {
            walk->Execute(ang, speed, side, {"start"});
            started = true;
        } else {
            walk->Execute(ang, speed, side, {});
        }
        c.text = effector->setActionCommand();
        if (c.text.empty()) {
            c.stepDone = true;
            walk->Execute(ang, speed, side, {"normal"});
            c.text = effector->setActionCommand();
        }
        c.legsDriven = anyLegVelocity();
        c.ikFailed = walk->getIKfailNow();
        c.phaseAfter = walk->getWalkPhase();
        endCycle();
        beginCycle();
        return c;
    }

    // Runs until the engine has entered the first step; returns the cycle
    // in which it did.
    Cycle runToFirstStep(ESide side, double ang = 0.0, double speed = 100.0) {
        Cycle c;
        for (int i = 0; i < 200 && walk->getWalkPhase() != Walk::FIRST_STEP; ++i) {
            c = cycle(ang, speed, side);
            EXPECT_FALSE(c.stepDone);
            EXPECT_FALSE(c.text.empty());
        }
        EXPECT_EQ(Walk::FIRST_STEP, walk->getWalkPhase()) << "posture never reached";
        return c;
    }

    WorldModel* wm = nullptr;
    Kinematic* robot = nullptr;
    Effector* effector = nullptr;
    Walk* walk = nullptr;
    bool started = false;
    static double time;
};

double OpenLoopWalk::time = 0.0;

struct GaitCase {
    ESide side;
    double ang;
    int firstCycles;
    int normalCycles;
};

class WalkGaits : public OpenLoopWalk, public ::testing::WithParamInterface<GaitCase> {};

}  // namespace

// From standing the engine prepares, takes its first step and then one normal
// step per "normal" order, with the step lengths of the gait, every leg
// solution succeeding and the holding foot alternating.
TEST_P(WalkGaits, RunsThroughItsPhasesWithTheGaitsCycleCounts) {
    const GaitCase g = GetParam();
    Cycle c = runToFirstStep(g.side, g.ang);
    ASSERT_EQ(Walk::FIRST_STEP, walk->getWalkPhase());
    EXPECT_TRUE(c.legsDriven);
    EXPECT_FALSE(c.ikFailed);

    // The first step: from its entry to the report of its end.
    int cycles = 0;
    int driven = 1;
    do {
        c = cycle(g.ang, 100.0, g.side);
        ++cycles;
        if (!c.stepDone) {
            EXPECT_EQ(Walk::FIRST_STEP, c.phaseAfter);
            EXPECT_FALSE(c.ikFailed);
            driven += c.legsDriven;
            // The right foot holds while the left makes the first step.
            if (c.legsDriven) {
                EXPECT_GT(walk->getHoldFootMatrix().Pos().x(), 0.0f);
            }
        }
    } while (!c.stepDone && cycles < 50);
    ASSERT_TRUE(c.stepDone);
    // The cycle that notices the end follows the last clock cycle. The step
    // plays its whole window [0, Ts], end pose included.
    EXPECT_EQ(g.firstCycles, cycles - 1);
    EXPECT_EQ(g.firstCycles + 1, driven);
    EXPECT_EQ(Walk::NORMAL_STEP, c.phaseAfter);

    float lastHoldSide = 1.0f;  // the right foot held the first step
    for (int step = 1; step <= 6; ++step) {
        EXPECT_EQ(step, walk->getTotalStep());
        const float holdSide = walk->getHoldFootMatrix().Pos().x() > 0 ? 1.0f : -1.0f;
        EXPECT_EQ(-lastHoldSide, holdSide) << "step " << step;
        EXPECT_EQ(holdSide < 0, walk->IsLeftFootHold());
        lastHoldSide = holdSide;
        // The step's first instant was played in the cycle that ordered it.
        EXPECT_TRUE(c.legsDriven);
        EXPECT_FALSE(c.ikFailed);
        cycles = 0;
        driven = 1;
        do {
            c = cycle(g.ang, 100.0, g.side);
            ++cycles;
            if (!c.stepDone) {
                EXPECT_EQ(Walk::NORMAL_STEP, c.phaseAfter);
                EXPECT_FALSE(c.ikFailed) << "step " << step;
                driven += c.legsDriven;
                if (c.legsDriven) {
                    EXPECT_EQ(holdSide, walk->getHoldFootMatrix().Pos().x() > 0 ? 1.0f : -1.0f);
                }
            }
        } while (!c.stepDone && cycles < 50);
        ASSERT_TRUE(c.stepDone);
        EXPECT_EQ(g.normalCycles, cycles - 1) << "step " << step;
        EXPECT_EQ(g.normalCycles, driven) << "step " << step;
    }
}

INSTANTIATE_TEST_SUITE_P(Sides, WalkGaits,
                         ::testing::Values(GaitCase{SIDE_FORWARD_, 0.0, 8, 7},
                                           GaitCase{SIDE_BACKWARD_, 0.0, 8, 7},
                                           GaitCase{SIDE_STEP_, 0.0, 8, 7},
                                           GaitCase{SIDE_TURNLEFT_, 10.0, 7, 6},
                                           GaitCase{SIDE_TURNRIGHT_, -10.0, 7, 6}));

// Over the played window of a normal step the torso advances over the holding
// foot by what the trajectory gives, forward and backward.
TEST_F(OpenLoopWalk, TorsoAdvancesOverTheHoldingFootAsTheTrajectoryGives) {
    struct Window {
        double first = 0.0, last = 0.0, tFirst = -1.0, tLast = -1.0;
        double speedFirst = -1.0, speedLast = -1.0, stepY = 0.0;
    };
    for (ESide side : {SIDE_FORWARD_, SIDE_BACKWARD_}) {
        SetUp();
        runToFirstStep(side);
        Trajectory& tr = *walk->getTrajectory();
        std::vector<Window> windows;
        while (windows.size() < 26) {
            const Cycle c = cycle(0.0, 100.0, side);
            if (c.stepDone) {
                windows.emplace_back();  // the re-run in this cycle starts a new step
            }
            if (windows.empty() || walk->getWalkPhase() != Walk::NORMAL_STEP || !c.legsDriven) {
                continue;
            }
            // The commanded offset equals the trajectory's at this instant.
            const double t = walk->getPhaseTime();
            const double along = tr.getHipX(t) - (tr.getFootX(t + tr.getTc()) - tr.getDs());
            Window& w = windows.back();
            w.stepY = tr.getDs3D().y();
            const double offset =
                walk->getTorsoMatrix().Pos().y() - walk->getHoldFootMatrix().Pos().y();
            EXPECT_NEAR(along / tr.getDs() * w.stepY, offset, 1e-6) << "t " << t;
            if (w.tFirst < 0) {
                w.first = offset;
                w.tFirst = t;
                w.speedFirst = walk->getSpeed();
            }
            w.last = offset;
            w.tLast = t;
            w.speedLast = walk->getSpeed();
        }
        windows.pop_back();  // still under way
        int steadySteps = 0;
        for (const Window& w : windows) {
            // The played window runs from Tc to 2 Tc - 0.04.
            EXPECT_NEAR(0.16, w.tFirst, 1e-6);
            EXPECT_NEAR(0.28, w.tLast, 1e-6);
            if (w.speedFirst == 100.0 && w.speedLast == 100.0) {
                ++steadySteps;
                EXPECT_NEAR(0.1 * (side == SIDE_FORWARD_ ? 1 : -1), w.stepY, 1e-7);
                // The holding foot stands still over the window, so the
                // advance is the hip's: from kDs + Xed at kT to the hip
                // curve's single-support value 0.12 s later (u = 0.12 - Td
                // after double support, v = Tc - 0.12 before the period's end).
                const double hip = (tr.getHipX(w.tLast) - tr.getHipX(w.tFirst)) / tr.getDs();
                EXPECT_NEAR(hip * w.stepY, w.last - w.first, 1e-6);
                const double Ds = tr.getDs(), Td = tr.getTd(), S = tr.getTc() - Td;
                const double Xed = tr.getXed(), Xsd = tr.getXsd(), D = Ds - Xed - Xsd;
                const double u = 0.12 - Td, v = tr.getTc() - 0.12;
                const double end = u * (Xed + Ds) / S + v * (Ds - Xsd) / S +
                                   (u * u * u - v * v * v + S * S * (v - u)) * D / (S * S * Td);
                EXPECT_NEAR((end - Xed) / Ds * w.stepY, w.last - w.first, 1e-6);
            }
        }
        EXPECT_GE(steadySteps, 3) << "full speed reached";
        TearDown();
    }
}

// Asking for another side while walking first finishes the step, takes the
// last step, and configures the new side only in PREPARE or STOP.
TEST_F(OpenLoopWalk, AChangeOfSideStopsFirst) {
    runToFirstStep(SIDE_FORWARD_);
    Trajectory& tr = *walk->getTrajectory();
    int doneReports = 0;
    while (doneReports < 3) {
        doneReports += cycle(0.0, 50.0, SIDE_FORWARD_).stepDone;
    }
    ASSERT_EQ(Walk::NORMAL_STEP, walk->getWalkPhase());
    ASSERT_GT(tr.getDs3D().y(), 0.0f);

    std::vector<Walk::TPhase> phases;
    bool sawLastStep = false;
    bool reconfigured = false;
    for (int i = 0; i < 60 && !reconfigured; ++i) {
        const Cycle c = cycle(0.0, 50.0, SIDE_BACKWARD_);
        EXPECT_FALSE(c.stepDone) << "the stop runs without orders";
        if (phases.empty() || phases.back() != c.phaseAfter) {
            phases.push_back(c.phaseAfter);
        }
        sawLastStep = sawLastStep || c.phaseAfter == Walk::LAST_STEP;
        if (tr.getDs3D().y() < 0.0f) {
            reconfigured = true;
            EXPECT_TRUE(c.phaseBefore == Walk::PREPARE || c.phaseBefore == Walk::STOP)
                << c.phaseBefore;
            EXPECT_EQ(SIDE_BACKWARD_, walk->getWalkSide());
        } else {
            EXPECT_EQ(SIDE_FORWARD_, walk->getWalkSide());
        }
    }
    ASSERT_TRUE(reconfigured);
    EXPECT_TRUE(sawLastStep);
    ASSERT_GE(phases.size(), 3u);
    EXPECT_EQ(Walk::NORMAL_STEP, phases[0]);
    EXPECT_EQ(Walk::LAST_STEP, phases[1]);
    // Then the new side walks: a first step and normal steps, going backward.
    while (walk->getWalkPhase() != Walk::NORMAL_STEP) {
        ASSERT_FALSE(cycle(0.0, 50.0, SIDE_BACKWARD_).ikFailed);
    }
    EXPECT_LT(tr.getDs3D().y(), 0.0f);
}

// The configured speed rises from standing by at most 5 per configuration:
// at most 5 while the phase clock is at most 0.14 s.
TEST_F(OpenLoopWalk, SpeedRampLimits) {
    double previous = walk->getSpeed();
    double highest = 0.0;
    bool seenPositive = false;
    for (int i = 0; i < 400; ++i) {
        const double phaseTime = walk->getPhaseTime();
        const Walk::TPhase phase = walk->getWalkPhase();
        cycle(0.0, 100.0, SIDE_FORWARD_);
        const double speed = walk->getSpeed();
        if (phaseTime <= 0.14) {
            EXPECT_LE(speed, 5.0) << "cycle " << i << " phase " << phase;
        }
        if (seenPositive) {
            EXPECT_LE(speed - previous, 5.0 + 1e-9) << "cycle " << i;
            EXPECT_GE(speed, previous) << "cycle " << i;
        }
        EXPECT_NEAR(0.1 * speed / 100.0, walk->getTrajectory()->getDs3D().y(), 1e-7);
        seenPositive = true;
        previous = speed;
        highest = std::max(highest, speed);
    }
    EXPECT_EQ(100.0, highest);
}

TEST_F(OpenLoopWalk, ZeroSpeedWalksWithAVanishingStep) {
    cycle(0.0, 0.0, SIDE_FORWARD_);
    EXPECT_DOUBLE_EQ(0.00001, walk->getSpeed());
    EXPECT_NEAR(0.00000001, walk->getTrajectory()->getDs3D().y(), 1e-12);
}

TEST_F(OpenLoopWalk, TurnsAboveFifteenDegreesAreRefused) {
    Trajectory& tr = *walk->getTrajectory();
    EXPECT_FALSE(walk->configureOmniDirection(20.0, 50.0, SIDE_FORWARD_));
    EXPECT_EQ(0.0, walk->getTurnAngle());
    EXPECT_EQ(0.0f, tr.getTurnAngle());
    EXPECT_EQ(100.0, walk->getSpeed());
    EXPECT_TRUE(walk->configureOmniDirection(-20.0, 50.0, SIDE_FORWARD_));
    EXPECT_EQ(-20.0, walk->getTurnAngle());
    EXPECT_EQ(-20.0f, tr.getTurnAngle());
    EXPECT_EQ(50.0, walk->getSpeed());
    // Through the cycle as well: the refused turn leaves the gait as it was.
    cycle(20.0, 50.0, SIDE_FORWARD_);
    EXPECT_EQ(-20.0f, tr.getTurnAngle());
    cycle(5.0, 50.0, SIDE_FORWARD_);
    EXPECT_EQ(5.0f, tr.getTurnAngle());
}

TEST_F(OpenLoopWalk, GaitTableRows) {
    Trajectory& tr = *walk->getTrajectory();
    struct Row {
        ESide side;
        float tc, stepY, x, hnor, hao;
    };
    const Row rows[] = {
        {SIDE_FORWARD_, 0.16f, 0.05f, 0.02f, 0.2151f, 0.1f},
        {SIDE_BACKWARD_, 0.16f, -0.05f, 0.02f, 0.2f, 0.1006f},
        {SIDE_TURNLEFT_, 0.14f, -0.05f, 0.02f, 0.2f, 0.1006f},
        {SIDE_TURNRIGHT_, 0.14f, -0.000000001f, -0.000000001f, 0.2f, 0.1006f},
        {SIDE_STEP_, 0.16f, 0.000000001f, 0.000000001f, 0.2f, 0.1f},
    };
    for (const Row& r : rows) {
        tr.setQb(0.3f);
        ASSERT_TRUE(walk->configureOmniDirection(3.0, 50.0, r.side));
        EXPECT_FLOAT_EQ(r.tc, tr.getTc()) << r.side;
        EXPECT_FLOAT_EQ(0.2f * r.tc, tr.getTd());
        EXPECT_FLOAT_EQ(0.5f * r.tc, tr.getTm());
        EXPECT_FLOAT_EQ(r.tc, tr.getTs());
        EXPECT_FLOAT_EQ(0.0f, tr.getDs3D().x());
        EXPECT_FLOAT_EQ(r.stepY, tr.getDs3D().y());
        EXPECT_FLOAT_EQ(r.x, tr.getXed());
        EXPECT_FLOAT_EQ(r.x, tr.getXsd());
        EXPECT_FLOAT_EQ(r.hnor, tr.getHnor());
        EXPECT_FLOAT_EQ(r.hao, tr.getHao());
        EXPECT_FLOAT_EQ(-5.0f, tr.getTorsoRotX());
        EXPECT_FLOAT_EQ(3.0f, tr.getTurnAngle());
        EXPECT_EQ(0.0f, tr.getQb());
        EXPECT_EQ(0.0f, tr.getQf());
        EXPECT_FLOAT_EQ(0.06f, walk->getSlowGain());
    }
    // Sideways sides keep the default records.
    tr.setQb(0.3f);
    ASSERT_TRUE(walk->configureOmniDirection(3.0, 50.0, SIDE_LEFT_));
    EXPECT_FLOAT_EQ(0.2f, tr.getTc());
    EXPECT_FLOAT_EQ(0.14f, tr.getDs3D().y());
    EXPECT_FLOAT_EQ(0.07f, tr.getXed());
    EXPECT_FLOAT_EQ(0.0f, tr.getTurnAngle());
    EXPECT_FLOAT_EQ(-10.0f, tr.getTorsoRotX());
    EXPECT_FLOAT_EQ(0.3f, tr.getQb());
}

// During a normal step with the left foot holding, the left shoulder is
// driven towards -80 degrees and the right towards -100, at most 5 degrees
// per cycle.
TEST_F(OpenLoopWalk, ShoulderTargetsDuringALeftHoldStep) {
    runToFirstStep(SIDE_FORWARD_);
    while (!cycle(0.0, 100.0, SIDE_FORWARD_).stepDone) {
    }
    ASSERT_EQ(Walk::NORMAL_STEP, walk->getWalkPhase());
    ASSERT_TRUE(walk->IsLeftFootHold());

    const float cap = gDegToRad(5.0f) * 20.0f;
    struct Case {
        float left, right;        // measured shoulder angles, degrees
        float leftVel, rightVel;  // expected velocities
    } cases[] = {
        {-80.0f, -100.0f, 0.0f, 0.0f},
        {-90.0f, -90.0f, cap, -cap},
        {-82.0f, -99.0f, gDegToRad(2.0f) * 20.0f, gDegToRad(-1.0f) * 20.0f},
    };
    for (const Case& k : cases) {
        ASSERT_EQ(Walk::NORMAL_STEP, walk->getWalkPhase());
        ASSERT_TRUE(walk->IsLeftFootHold());
        wm->mJointIDToAngleMap[JID_LARM_1] = k.left;
        wm->mJointIDToAngleMap[JID_RARM_1] = k.right;
        robot->updateLink();
        effector->updateJointAngle(robot->getLink());
        walk->Execute(0.0, 100.0, SIDE_FORWARD_, {});
        EXPECT_NEAR(k.leftVel, effector->mJointVel[JID_LARM_1_], 1e-4) << k.left;
        EXPECT_NEAR(k.rightVel, effector->mJointVel[JID_RARM_1_], 1e-4) << k.right;
        endCycle();
        beginCycle();
    }
}

// An unreachable pose is recorded and leaves the legs without commands.
TEST_F(OpenLoopWalk, UnreachablePoseIsRecordedAsAFailure) {
    Trajectory& tr = *walk->getTrajectory();
    WalkParams high;
    high.Hnor = 0.5f;  // the hip far above what the legs reach
    tr.setParams(high);
    ASSERT_TRUE(tr.general());
    tovra_test::captureStdout();
    walk->Prepare();
    const bool failed = walk->getIKfailNow();
    const bool driven = anyLegVelocity();
    const bool prepared = walk->IsPrepareDone();
    const std::string out = tovra_test::capturedStdout();
    EXPECT_TRUE(failed);
    EXPECT_FALSE(driven);
    EXPECT_FALSE(prepared);
    EXPECT_NE(std::string::npos, out.find("analytic method failed: leg -- 1")) << out;
}
